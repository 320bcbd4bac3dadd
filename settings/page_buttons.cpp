// The page's part of button assignment: the function menu of buttons 1..12, the
// assignment of the chosen function with the left-click rule, the shortcut and macro
// dialogs, and the warning about macro buttons an apply had to leave out.

#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/popup_menu.h"
#include "app/toolkit/resources.h"
#include "app/toolkit/window_base.h"
#include "buttons/button_assignment.h"
#include "buttons/button_function_table.h"
#include "buttons/ui/function_menu.h"
#include "buttons/ui/select_macro_wnd.h"
#include "buttons/ui/shortcut_wnd.h"
#include "core/trace.h"
#include "macros/key_codes.h"
#include "macros/xkb_keyboard_layout.h"
#include "protocol/macro_blocks.h"
#include "settings/ms1_page.h"
#include "settings/page_controls.h"
#include "settings/page_view_adapter.h"

namespace norvane {

using namespace page_controls;

namespace {

constexpr char kOneClickTextKey[] = "one_click_text";
constexpr char kMacroLeftOutTextKey[] = "macro_left_out_text";

// Where the keys of a US keyboard lie, for a page given no keyboard layout.
uint8_t us_key_usage(uint32_t virtual_key) {
  static const XkbKeyboardLayout us(nullptr, 0);
  return key_code_from_vk(virtual_key, us).code;
}

}  // namespace

void CMS_1_Page::on_menu_command(const QString& item_name) {
  // The button-function menu reports its item here; `menu_button_index_` names the
  // button it was opened for. An item of no known menu is ignored.
  const std::string name = item_name.toStdString();
  const int slot = std::exchange(menu_button_index_, -1);
  trace("menu item %s for button %d\n", name.c_str(), slot + 1);
  const ButtonFunction* function = find_menu_item(name);
  if (function == nullptr || slot < 0 || slot >= kAssignableButtons) return;
  assign_button_function(slot, function->code);
}

void CMS_1_Page::open_assignment_menu(int slot) {
  if (window_ == nullptr || view_ == nullptr) return;
  menu_button_index_ = slot;
  if (!function_menu_) function_menu_ = std::make_unique<PopupMenu>();
  const Control button = view_->control(numbered(kButtonKeyPrefix, slot + 1));
  open_function_menu(*function_menu_, window_->port(), button.screen_rect());
}

void CMS_1_Page::assign_button_function(int slot, uint8_t code) {
  const ProfileRecord* record = current();
  if (record == nullptr) return;
  // The rule holds for the dialog choices too: no dialog opens for a refused choice.
  if (!keeps_a_left_click(*record, slot, code)) {
    show_message_box(window_, QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(kOneClickTextKey));
    return;
  }
  if (code == kFunctionShortcut) {
    run_shortcut_flow(slot);
  } else if (code == kFunctionMacro) {
    select_macro_for_slot(slot);
  } else {
    // Only the function changes: an earlier shortcut or macro stays in the slot.
    profiles_.edit_current([slot, code](ProfileRecord& r) { r.buttons[slot].function = code; });
    finish_assignment(slot);
  }
}

void CMS_1_Page::finish_assignment(int slot) {
  request_apply();
  if (current() != nullptr) show_button_caption(*current(), slot);
}

void CMS_1_Page::run_shortcut_flow(int slot) {
  const ShortcutKeys start = shortcut_start(current()->buttons[slot]);
  const KeyUsageFn usage = environment_.key_code ? KeyUsageFn(environment_.key_code) : KeyUsageFn(us_key_usage);
  const std::optional<ShortcutKeys> keys =
      run_shortcut_dialog(window_, start, hook_functions_, usage, environment_.key_name);
  if (!keys || current() == nullptr) return;
  bool assigned = false;
  profiles_.edit_current([&](ProfileRecord& r) { assigned = write_shortcut(r.buttons[slot], *keys); });
  // Neither a key nor a modifier: the button keeps its function and nothing is sent.
  if (assigned) finish_assignment(slot);
}

void CMS_1_Page::select_macro_for_slot(int slot) {
  const MacroChoice start = macro_dialog_start(macro_library_, current()->buttons[slot]);
  const MacroRoomCheck room_check = [this, slot](const MacroChoice& choice) -> std::optional<MacroRefusal> {
    const ProfileRecord* record = current();
    if (record == nullptr || choice.index < 0 || static_cast<size_t>(choice.index) >= macro_library_.size() ||
        !macro_library_[static_cast<size_t>(choice.index)]) {
      return std::nullopt;
    }
    auto candidate = std::make_unique<ButtonSlot>(record->buttons[slot]);
    copy_macro_into_slot(*candidate, *macro_library_[static_cast<size_t>(choice.index)], choice);
    const MacroRoom room = macro_room(*record, slot, *candidate, kAssignableButtons);
    if (room.fits) return std::nullopt;
    return MacroRefusal{room.overlapped_slot, room.slots_with_room};
  };
  const std::optional<MacroChoice> choice = run_select_macro_dialog(window_, macro_library_, start, room_check);
  // No macro chosen, or a library without it: nothing changes.
  if (!choice || choice->index < 0 || static_cast<size_t>(choice->index) >= macro_library_.size()) return;
  const MacroRecord* macro = macro_library_[static_cast<size_t>(choice->index)].get();
  if (macro == nullptr || current() == nullptr) return;
  profiles_.edit_current([&](ProfileRecord& r) { copy_macro_into_slot(r.buttons[slot], *macro, *choice); });
  finish_assignment(slot);
}

void CMS_1_Page::show_macro_overlaps(const std::vector<MacroOverlap>& overlaps) {
  if (torn_down_ || window_ == nullptr) return;
  QStringList lines;
  for (const MacroOverlap& o : overlaps) {
    lines << language_text(kMacroLeftOutTextKey).arg(o.slot + 1).arg(o.kept_slot + 1);
  }
  const QString text = lines.join(QLatin1Char('\n'));
  // Said once: the next applies of the same profile leave the same buttons out.
  if (text == last_overlap_warning_) return;
  last_overlap_warning_ = text;
  if (text.isEmpty()) return;
  for (const QString& line : lines) trace("%s\n", line.toUtf8().constData());
  show_message_box_text(window_, QString::fromLatin1(kWarningTitleKey), text);
}

}  // namespace norvane
