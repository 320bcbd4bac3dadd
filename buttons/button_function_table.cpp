#include "buttons/button_function_table.h"

#include <algorithm>
#include <cctype>

#include "core/profile_record.h"

namespace norvane {
namespace {

constexpr uint8_t kLeftClick = 1;

constexpr ButtonFunction plain(uint8_t code, std::string_view item, std::string_view key, uint8_t device0,
                               uint8_t device2 = 0) {
  return {code, item, key, true, {device0, 0, device2}};
}

constexpr ButtonFunction combo(uint8_t code, std::string_view item, std::string_view key, uint8_t modifiers,
                               uint8_t usage) {
  return {code, item, key, true, {kDeviceKeyCombination, modifiers, usage}};
}

constexpr ButtonFunction kTable[] = {
    plain(0, "ms_1_button_off", "button_off_text", 1),
    plain(1, "ms_1_click", "left_click_text", 2),
    plain(2, "ms_1_menu", "right_click_text", 3),
    plain(3, "ms_1_scroll", "wheel_click_text", 4),
    plain(4, "ms_1_forward", "forward_text", 6),
    plain(5, "ms_1_backward", "backward_text", 5),
    plain(6, "ms_1_dpi_cycle", "dpi_cycle_text", 13),
    plain(7, "ms_1_dpi_up", "dpi_up_text", 14),
    plain(8, "ms_1_dpi_down", "dpi_down_text", 15),
    plain(9, "ms_1_double_click", "double_click_text", 7),
    plain(10, "ms_1_fire_button", "fire_button_text", 8),
    plain(11, "ms_1_scroll_up", "scroll_up_text", 9),
    plain(12, "ms_1_scroll_down", "scroll_down_text", 10),
    plain(13, "ms_1_titl_left", "titl_left_text", 11),
    plain(14, "ms_1_titl_right", "titl_right_text", 12),
    // The slot's own modifiers and key replace bytes 1 and 2.
    combo(kFunctionShortcut, "ms_1_shortcut", "", 0, 0),
    // The slot's macro start block replaces byte 2.
    plain(kFunctionMacro, "ms_1_select_macro", "", kDeviceMacro),
    plain(19, "", "", 19),
    plain(21, "", "", 43),
    plain(22, "ms_1_easy_aim", "easy_aim_text", 16, 3),
    plain(23, "ms_1_led_loop", "led_loop_text", 41, 3),
    plain(24, "", "", 40),
    combo(32, "ms_1_cut", "cut_text", kModCtrl, 27),                 // Ctrl+X
    combo(33, "ms_1_copy", "copy_text", kModCtrl, 6),                // Ctrl+C
    combo(34, "ms_1_paste", "paste_text", kModCtrl, 25),             // Ctrl+V
    combo(35, "ms_1_open", "open_text", kModCtrl, 18),               // Ctrl+O
    combo(36, "ms_1_save", "save_text", kModCtrl, 22),               // Ctrl+S
    combo(37, "ms_1_find", "find_text", kModCtrl, 9),                // Ctrl+F
    combo(38, "ms_1_redo", "redo_text", kModCtrl, 28),               // Ctrl+Y
    combo(39, "", "undo_text", kModCtrl, 29),                        // Ctrl+Z
    combo(40, "ms_1_select_all", "select_all_text", kModCtrl, 4),    // Ctrl+A
    combo(41, "ms_1_print", "print_text", kModCtrl, 19),             // Ctrl+P
    combo(42, "ms_1_close_window", "close_window_text", kModAlt, 61),  // Alt+F4
    combo(43, "ms_1_swap_windows", "swap_windows_text", kModAlt, 43),  // Alt+Tab
    combo(44, "ms_1_show_desktop", "show_desktop_text", kModWin, 7),   // Win+D
    combo(45, "ms_1_run_command", "run_command_text", kModWin, 21),    // Win+R
    combo(46, "ms_1_lock_pc", "lock_pc_text", kModWin, 15),            // Win+L
    combo(47, "", "", kModCtrl, 17),                                   // Ctrl+N
    combo(48, "", "", kModCtrl, 46),                                   // Ctrl+=
    combo(49, "", "", kModCtrl, 45),                                   // Ctrl+-
    combo(50, "ms_1_screen_capture", "screen_capture_text", kModWin | kModShift, 22),  // Win+Shift+S
    {51, "", "task_view_text", false, {0, 0, 0}},
    plain(52, "", "", 60),
    plain(54, "", "profile_cycle_text", 52),
    plain(55, "", "profile_up_text", 53),
    plain(56, "", "profile_down_text", 54),
    plain(64, "ms_1_media_player", "media_player_text", 21),
    plain(65, "ms_1_play_pause", "play_pause_text", 24),
    plain(66, "ms_1_media_stop", "media_stop_text", 25),
    plain(67, "ms_1_pre_track", "previous_track_text", 22),
    plain(68, "ms_1_next_track", "next_track_text", 23),
    plain(69, "ms_1_volume_up", "volume_up_text", 27),
    plain(70, "ms_1_volume_down", "volume_down_text", 28),
    plain(71, "ms_1_mute", "mute_text", 26),
    plain(80, "ms_1_browser_home", "browser_home_text", 37),
    combo(81, "ms_1_browser_favorites", "browser_favorites_text", kModCtrl | kModShift, 18),  // Ctrl+Shift+O
    plain(82, "ms_1_browser_forward", "browser_forward_text", 32),
    plain(83, "ms_1_browser_backward", "browser_backward_text", 33),
    plain(84, "ms_1_browser_stop", "browser_stop_text", 34),
    plain(85, "ms_1_browser_refresh", "browser_refresh_text", 36),
    plain(86, "ms_1_browser_search", "browser_search_text", 38),
    plain(87, "ms_1_email", "email_text", 30),
    plain(88, "ms_1_calculator", "calculator_text", 29),
    plain(89, "ms_1_my_computer", "my_computer_text", 35),
    plain(115, "", "", 20),
};

constexpr bool ordered_by_code() {
  for (size_t i = 1; i < std::size(kTable); ++i) {
    if (kTable[i - 1].code >= kTable[i].code) return false;
  }
  return true;
}
static_assert(ordered_by_code(), "find_button_function searches by code");

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::span<const ButtonFunction> button_function_table() { return kTable; }

const ButtonFunction* find_button_function(uint8_t code) {
  const auto* end = std::end(kTable);
  const auto* it = std::lower_bound(std::begin(kTable), end, code,
                                    [](const ButtonFunction& f, uint8_t c) { return f.code < c; });
  return it != end && it->code == code ? it : nullptr;
}

const ButtonFunction* find_menu_item(std::string_view item_name) {
  if (item_name.empty()) return nullptr;
  for (const ButtonFunction& f : kTable) {
    if (!f.menu_item.empty() && equal_ignoring_case(f.menu_item, item_name)) return &f;
  }
  return nullptr;
}

uint8_t function_code_for_menu_item(std::string_view item_name) {
  const ButtonFunction* f = find_menu_item(item_name);
  return f != nullptr ? f->code : kLeftClick;
}

}  // namespace norvane
