#include "buttons/ui/shortcut_wnd.h"

#include <QWidget>
#include <utility>

#include "core/trace.h"

namespace norvane {
namespace {

constexpr char kHintTextKey[] = "shortcut_hint_text";
constexpr char kNoCaptureTextKey[] = "shortcut_no_capture_text";
// Virtual keys are 1..254; larger first numbers are mouse messages of the same hook.
constexpr uintptr_t kLastVirtualKey = 0xFF;

QString box_name(int number) { return QStringLiteral("check_flag_%1").arg(number); }
uint8_t box_bit(int index) { return static_cast<uint8_t>(1u << index); }

}  // namespace

CShortcutWnd::CShortcutWnd(ShortcutKeys start, const HookFunctions* hooks, KeyUsageFn key_usage, KeyNameFn key_name)
    : keys_(start), hooks_(hooks), key_usage_(std::move(key_usage)), key_name_(std::move(key_name)) {}

CShortcutWnd::~CShortcutWnd() { stop_capture(); }

void CShortcutWnd::init() {
  for (int i = 0; i < kShortcutModifierBoxes; ++i) {
    boxes_[i] = find(box_name(i + 1));
    boxes_[i].set_checked((keys_.modifiers & box_bit(i)) != 0);
  }
  key_edit_ = find(QStringLiteral("edit_key"));
  hint_ = find(QStringLiteral("shortcut_hint"));
  ok_ = find(QStringLiteral("btn_ok"));
  cancel_ = find(QStringLiteral("btn_cancel"));
  exit_ = find(QStringLiteral("btn_exit"));
  show_key();
  hint_.set_resource_text(true);
  hint_.set_text(QString::fromLatin1(kHintTextKey));
  // The key field is where keys go as the dialog opens.
  if (QWidget* edit = key_edit_.widget()) edit->setFocus(Qt::OtherFocusReason);
}

void CShortcutWnd::notify(const Notification& n) {
  if (n.is(NotifyType::click)) {
    if (ok_ && n.sender == ok_) {
      close(1);
    } else if ((cancel_ && n.sender == cancel_) || (exit_ && n.sender == exit_)) {
      close(0);
    }
    return;
  }
  if (n.is(NotifyType::checkclick)) {
    for (int i = 0; i < kShortcutModifierBoxes; ++i) {
      if (!boxes_[i] || n.sender != boxes_[i]) continue;
      if (n.wparam != 0) {
        keys_.modifiers = static_cast<uint8_t>(keys_.modifiers | box_bit(i));
      } else {
        keys_.modifiers = static_cast<uint8_t>(keys_.modifiers & ~box_bit(i));
      }
    }
    return;
  }
  if (key_edit_ && n.sender == key_edit_) {
    if (n.is(NotifyType::setfocus)) start_capture();
    if (n.is(NotifyType::killfocus)) stop_capture();
  }
}

bool CShortcutWnd::handle_custom_message(const Message& m) {
  if (m.id != UM_HOOK_INPUT) return false;
  if (capturing_) on_key_message(m.wparam, m.lparam);
  return true;
}

void CShortcutWnd::on_destroy() { stop_capture(); }

void CShortcutWnd::start_capture() {
  if (capturing_) return;
  if (hooks_ == nullptr || hooks_->installhook == nullptr || !port()) {
    hint_.set_text(QString::fromLatin1(kNoCaptureTextKey));
    return;
  }
  post_target_ = NvPostTarget{port().get(), &MessagePort::post_from_c};
  if (hooks_->installhook(&post_target_) == 0) {
    hint_.set_text(QString::fromLatin1(kNoCaptureTextKey));
    return;
  }
  capturing_ = true;
  if (hooks_->enablehook != nullptr) hooks_->enablehook(1);
}

void CShortcutWnd::stop_capture() {
  if (!capturing_) return;
  capturing_ = false;
  if (hooks_ == nullptr) return;
  if (hooks_->removehook != nullptr) hooks_->removehook();
  if (hooks_->enablehook != nullptr) hooks_->enablehook(0);
}

void CShortcutWnd::on_key_message(uintptr_t wparam, intptr_t lparam) {
  trace("%x,%x\n", static_cast<unsigned>(wparam), static_cast<unsigned>(lparam));
  if (wparam == 0 || wparam > kLastVirtualKey) return;
  const uint8_t usage = key_usage_ ? key_usage_(static_cast<uint32_t>(wparam)) : 0;
  trace("iUsageID=%d\n", usage);
  keys_.key = usage;
  show_key();
}

void CShortcutWnd::show_key() {
  const std::u16string name = keys_.key != 0 && key_name_ ? key_name_(keys_.key) : std::u16string();
  key_edit_.set_text(QString::fromStdU16String(name));
}

std::optional<ShortcutKeys> run_shortcut_dialog(WindowBase* owner, ShortcutKeys start, const HookFunctions* hooks,
                                                KeyUsageFn key_usage, KeyNameFn key_name) {
  CShortcutWnd dialog(start, hooks, std::move(key_usage), std::move(key_name));
  if (!dialog.create(owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible)) {
    return std::nullopt;
  }
  dialog.center();
  if (dialog.show_modal() != 1) return std::nullopt;
  return dialog.keys();
}

}  // namespace norvane
