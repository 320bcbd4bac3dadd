#include "buttons/ui/select_macro_wnd.h"

#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/resources.h"
#include "storage/case_fold.h"
#include "storage/record_names.h"

namespace norvane {
namespace {

constexpr char kNoRoomTextKey[] = "macro_no_room_text";
constexpr char kRoomListTextKey[] = "macro_room_list_text";
constexpr char kNoOtherRoomTextKey[] = "macro_no_other_room_text";

QString mode_name(int mode) { return QStringLiteral("repeat_%1").arg(mode + 1); }

QString name_of(const MacroRecord& macro) {
  const std::u16string_view name = field_name(macro.name);
  return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

int macro_row_for_slot(const MacroLibrary& library, const ButtonSlot& slot) {
  const std::u16string_view wanted = field_name(slot.macro_name);
  if (!wanted.empty()) {
    for (size_t row = 0; row < library.size(); ++row) {
      if (library[row] && equal_ignoring_case(field_name(library[row]->name), wanted)) return static_cast<int>(row);
    }
  }
  const int32_t stored = slot.macro_list_index;
  return stored >= 0 && static_cast<size_t>(stored) < library.size() ? stored : -1;
}

MacroChoice macro_dialog_start(const MacroLibrary& library, const ButtonSlot& slot) {
  if (slot.function != kFunctionMacro) return {};
  MacroChoice start;
  start.index = macro_row_for_slot(library, slot);
  start.mode = slot.macro_mode >= 0 && slot.macro_mode < kMacroModes ? slot.macro_mode : 0;
  start.repeat = std::clamp<int32_t>(slot.macro_repeat, kMinRepeatCount, kMaxRepeatCount);
  return start;
}

CMS_1_SelectMacro::CMS_1_SelectMacro(const MacroLibrary& library, MacroChoice start, MacroRoomCheck room_check)
    : library_(library), choice_(start), room_check_(std::move(room_check)) {}

void CMS_1_SelectMacro::init() {
  list_ = find(QStringLiteral("list_macro"));
  count_box_ = find(QStringLiteral("hor_loop_time"));
  count_edit_ = find(QStringLiteral("edit_loop_time"));
  ok_ = find(QStringLiteral("btn_ok"));
  cancel_ = find(QStringLiteral("btn_cancel"));
  exit_ = find(QStringLiteral("btn_exit"));
  for (int mode = 0; mode < kMacroModes; ++mode) modes_[mode] = find(mode_name(mode));

  for (const auto& macro : library_) list_.add_label_row(macro ? name_of(*macro) : QString(), kMacroRowHeight);
  find(QStringLiteral("list_empty_hint")).set_visible(library_.empty());
  const int start_mode = choice_.mode >= 0 && choice_.mode < kMacroModes ? choice_.mode : 0;
  choice_.mode = -1;
  if (modes_[start_mode]) {
    modes_[start_mode].set_checked(true, Notify::kRaise);
  } else {
    select_mode(start_mode);
  }
  if (choice_.index >= list_.row_count()) choice_.index = -1;
  list_.select_item(choice_.index, Notify::kQuiet);
  if (choice_.index >= 0) list_.ensure_row_visible(choice_.index);
  count_edit_.set_text(QString::number(choice_.repeat));
  count_box_.set_visible(choice_.mode == 0);
  // Not the list: a list that takes the focus makes its first row current, and the
  // dialog would open with a macro chosen that the user never picked.
  if (QWidget* mode = modes_[choice_.mode].widget()) mode->setFocus(Qt::OtherFocusReason);
}

void CMS_1_SelectMacro::notify(const Notification& n) {
  if (n.is(NotifyType::click)) {
    if (ok_ && n.sender == ok_) {
      confirm();
    } else if ((cancel_ && n.sender == cancel_) || (exit_ && n.sender == exit_)) {
      close(0);
    }
    return;
  }
  if (n.is(NotifyType::itemselect) && list_ && n.sender == list_) {
    choice_.index = static_cast<int>(n.wparam);
    return;
  }
  if (n.is(NotifyType::selectchanged) && n.wparam == 1) {
    for (int mode = 0; mode < kMacroModes; ++mode) {
      if (modes_[mode] && n.sender == modes_[mode]) select_mode(mode);
    }
    return;
  }
  if (!count_edit_ || n.sender != count_edit_) return;
  if (n.is(NotifyType::textchanged)) {
    const std::u16string typed = count_edit_.text().toStdU16String();
    const std::u16string digits = repeat_text_digits(typed);
    if (digits == typed) return;
    count_edit_.set_text(QString::fromStdU16String(digits));
    count_edit_.set_caret_to_end();
  } else if (n.is(NotifyType::killfocus)) {
    accept_count();
  }
}

void CMS_1_SelectMacro::select_mode(int mode) {
  choice_.mode = mode;
  count_box_.set_visible(mode == 0);
}

void CMS_1_SelectMacro::accept_count() {
  const RepeatCount accepted = accept_repeat_text(count_edit_.text().toStdU16String());
  choice_.repeat = accepted.count;
  count_edit_.set_text(QString::fromStdU16String(accepted.text));
}

void CMS_1_SelectMacro::confirm() {
  // OK may come from the keyboard while the count is still being typed.
  if (count_edit_ && count_edit_.widget()->hasFocus()) accept_count();
  if (choice_.index >= 0 && room_check_) {
    if (const std::optional<MacroRefusal> refusal = room_check_(choice_)) {
      show_message_box_text(this, QString::fromLatin1(kWarningTitleKey), refusal_text(*refusal));
      return;
    }
  }
  close(1);
}

QString CMS_1_SelectMacro::refusal_text(const MacroRefusal& refusal) const {
  const QString in_the_way = QString::number(refusal.slot_in_the_way + 1);
  QString text = resources().text(QLatin1String(kNoRoomTextKey)).arg(in_the_way);
  text += QLatin1Char(' ');
  if (refusal.slots_with_room.empty()) {
    text += resources().text(QLatin1String(kNoOtherRoomTextKey)).arg(in_the_way);
  } else {
    QStringList buttons;
    for (int slot : refusal.slots_with_room) buttons << QString::number(slot + 1);
    text += resources().text(QLatin1String(kRoomListTextKey)).arg(buttons.join(QStringLiteral(", ")));
  }
  return text;
}

std::optional<MacroChoice> run_select_macro_dialog(WindowBase* owner, const MacroLibrary& library, MacroChoice start,
                                                   MacroRoomCheck room_check) {
  CMS_1_SelectMacro dialog(library, start, std::move(room_check));
  if (!dialog.create(owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible)) {
    return std::nullopt;
  }
  dialog.center();
  if (dialog.show_modal() != 1) return std::nullopt;
  return dialog.choice();
}

}  // namespace norvane
