#pragma once
// CMS_1_ProfileName: the small modal dialog that asks for a profile's name, when a
// profile is added or renamed. It refuses an empty name and a name that another
// profile already has (letter case aside, the profile being renamed included); after
// a refusal it stays open with what was typed. Closes with 1 (a name was accepted) or
// 0 (cancelled).

#include <QString>
#include <optional>
#include <string>

#include "app/toolkit/window_base.h"
#include "core/profile_state.h"

namespace norvane {

inline constexpr char kProfileNameAddTitleKey[] = "profile_name_1_text";
inline constexpr char kProfileNameRenameTitleKey[] = "profile_name_2_text";

// What is wrong with a typed name, if anything.
enum class ProfileNameProblem { none, empty, taken };
ProfileNameProblem check_profile_name(std::u16string_view name, const ProfileList& profiles);

class CMS_1_ProfileName : public WindowBase {
 public:
  // `profiles` is read for the duplicate test while the dialog runs (UI thread).
  CMS_1_ProfileName(QString title_key, const ProfileList& profiles);

  QString window_class_name() const override { return QStringLiteral("MS_1_ProfileName"); }
  QString skin_file() const override { return QStringLiteral("MS/MS_1/profilename.xml"); }

  // The accepted name (after a result of 1).
  const std::u16string& name() const { return name_; }

  void notify(const Notification& n) override;

 protected:
  void init() override;

 private:
  void try_accept();
  void show_refusal(const QString& text_key);

  QString title_key_;
  const ProfileList& profiles_;
  std::u16string name_;
  Control title_, edit_, ok_, cancel_, exit_;
};

// Runs the dialog centred over `owner`; the accepted name, or nothing when the user
// cancelled (or the skin could not be loaded).
std::optional<std::u16string> run_profile_name_dialog(WindowBase& owner, const QString& title_key,
                                                      const ProfileList& profiles);

}  // namespace norvane
