#pragma once
// CMS_1_SelectMacro: the macro selection dialog (window class "MS_1_SelectMacro", skin
// "MS/MS_1/selectmacro.xml"). The user picks a macro of the library, one of the three
// playback modes and, for mode 0, a repeat count of 1..255. It closes with 1 (OK) or 0
// (Cancel, close button).
//
// A macro that has no room on the button (it would overwrite another button's macro in
// the mouse's memory) is refused on OK with a message naming the button in the way and
// the buttons that have room; the dialog then stays open.

#include <functional>
#include <optional>
#include <vector>

#include "app/toolkit/window_base.h"
#include "buttons/button_assignment.h"
#include "core/macro_library.h"
#include "core/profile_record.h"

namespace norvane {

inline constexpr int kMacroRowHeight = 22;

// Why a macro may not go to the button: the macro button in its way and the buttons
// where it would fit (slot numbers from 0).
struct MacroRefusal {
  int slot_in_the_way = -1;
  std::vector<int> slots_with_room;
};
// Asked on OK with the chosen macro: nothing when it may go to the button.
using MacroRoomCheck = std::function<std::optional<MacroRefusal>(const MacroChoice& choice)>;

// The library row of a macro button's macro: the macro whose name is the slot's macro
// name (without regard to letter case; the library may have been reordered or thinned
// since the slot was assigned), else the stored position when the library has it,
// else -1.
int macro_row_for_slot(const MacroLibrary& library, const ButtonSlot& slot);

// What the dialog starts with: a macro button's row, mode and count (kept inside their
// ranges); any other button no macro, mode 0 and count 1.
MacroChoice macro_dialog_start(const MacroLibrary& library, const ButtonSlot& slot);

class CMS_1_SelectMacro : public WindowBase {
 public:
  CMS_1_SelectMacro(const MacroLibrary& library, MacroChoice start, MacroRoomCheck room_check = {});

  QString window_class_name() const override { return QStringLiteral("MS_1_SelectMacro"); }
  QString skin_file() const override { return QStringLiteral("MS/MS_1/selectmacro.xml"); }

  const MacroChoice& choice() const { return choice_; }

  void notify(const Notification& n) override;

 protected:
  void init() override;

 private:
  void select_mode(int mode);
  void accept_count();
  void confirm();
  QString refusal_text(const MacroRefusal& refusal) const;

  const MacroLibrary& library_;
  MacroChoice choice_;
  MacroRoomCheck room_check_;
  Control list_, count_box_, count_edit_, ok_, cancel_, exit_;
  Control modes_[kMacroModes];
};

// Runs the dialog modally over `owner` (null: no owner), centred on it. The confirmed choice, or nothing
// when the user cancelled (or the skin is missing).
std::optional<MacroChoice> run_select_macro_dialog(WindowBase* owner, const MacroLibrary& library, MacroChoice start,
                                                   MacroRoomCheck room_check);

}  // namespace norvane
