#include "settings/profile_name_wnd.h"

#include <QWidget>
#include <utility>

#include "app/toolkit/msg_wnd.h"
#include "storage/record_names.h"

namespace norvane {
namespace {

constexpr int kRefusalGap = 8;

}  // namespace

ProfileNameProblem check_profile_name(std::u16string_view name, const ProfileList& profiles) {
  if (name.empty()) return ProfileNameProblem::empty;
  if (name_exists(profiles, name)) return ProfileNameProblem::taken;
  return ProfileNameProblem::none;
}

CMS_1_ProfileName::CMS_1_ProfileName(QString title_key, const ProfileList& profiles)
    : title_key_(std::move(title_key)), profiles_(profiles) {}

void CMS_1_ProfileName::init() {
  title_ = find(QStringLiteral("title_string"));
  edit_ = find(QStringLiteral("edit_name"));
  ok_ = find(QStringLiteral("btn_ok"));
  cancel_ = find(QStringLiteral("btn_cancel"));
  exit_ = find(QStringLiteral("btn_exit"));
  title_.set_resource_text(true);
  title_.set_text(title_key_);
  if (QWidget* edit = edit_.widget()) edit->setFocus(Qt::OtherFocusReason);
}

void CMS_1_ProfileName::notify(const Notification& n) {
  if (n.is(NotifyType::return_pressed) && edit_ && n.sender == edit_) {
    try_accept();
  } else if (n.is(NotifyType::click)) {
    if (ok_ && n.sender == ok_) {
      try_accept();
    } else if ((cancel_ && n.sender == cancel_) || (exit_ && n.sender == exit_)) {
      close(0);
    }
  }
}

void CMS_1_ProfileName::try_accept() {
  // What the name field can hold: at most 99 units, never half a surrogate pair (a
  // pasted text may end in one), nothing from a zero unit on.
  const std::u16string typed = edit_.text().toStdU16String();
  const std::u16string name(shorten_name(typed, kMaxProfileNameLength));
  const char* refusal = nullptr;
  switch (check_profile_name(name, profiles_)) {
    case ProfileNameProblem::empty:
      refusal = "warn_name_1_text";
      break;
    case ProfileNameProblem::taken:
      refusal = "warn_name_2_text";
      break;
    case ProfileNameProblem::none:
      break;
  }
  if (refusal != nullptr) {
    // The dialog stays open with the typed text, for the user to change it.
    show_refusal(QString::fromLatin1(refusal));
    return;
  }
  name_ = name;
  close(1);
}

void CMS_1_ProfileName::show_refusal(const QString& text_key) {
  CMsgWnd box(QString::fromLatin1(kWarningTitleKey), text_key);
  if (!box.create(this, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible,
                  QSize(800, 800))) {
    return;
  }
  // Below the name field and its hint rather than over them, so the refused name
  // stays in sight.
  const QRect dialog = frame_rect();
  const Control hint = find(QStringLiteral("name_hint"));
  const QRect field = hint ? hint.rect_in_window() : edit_.rect_in_window();
  box.move_to(QPoint(dialog.left(), dialog.top() + (field.isValid() ? field.bottom() : 0) + kRefusalGap));
  box.show_modal();
}

std::optional<std::u16string> run_profile_name_dialog(WindowBase& owner, const QString& title_key,
                                                      const ProfileList& profiles) {
  CMS_1_ProfileName dialog(title_key, profiles);
  if (!dialog.create(&owner, QString(), WindowStyle::kPopup | WindowStyle::kToolWindow | WindowStyle::kVisible,
                     QSize(380, 186))) {
    return std::nullopt;
  }
  dialog.center();
  if (dialog.show_modal() != 1) return std::nullopt;
  return dialog.name();
}

}  // namespace norvane
