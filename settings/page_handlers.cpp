// The page's notifications: every user action on the page's controls becomes a change
// of the current record and, where the mouse should follow, an apply request.

#include <mutex>

#include "app/toolkit/msg_wnd.h"
#include "app/toolkit/window_base.h"
#include "core/light_mode.h"
#include "core/profile_defaults.h"
#include "core/trace.h"
#include "device/link_controller.h"
#include "settings/dpi_color_wnd.h"
#include "settings/dpi_edit.h"
#include "settings/macro_resync.h"
#include "settings/ms1_page.h"
#include "settings/page_controls.h"
#include "settings/page_devices.h"
#include "settings/page_labels.h"
#include "settings/page_view_adapter.h"
#include "settings/system_mouse_settings.h"

namespace norvane {

using namespace page_controls;

namespace {

constexpr char kRestoreTextKey[] = "restore_text";

std::string name_of(const Notification& n) { return n.sender_name.toStdString(); }

}  // namespace

void CMS_1_Page::notify(const Notification& n) {
  if (view_ == nullptr || torn_down_) return;
  if (n.is(NotifyType::click)) {
    on_click(n);
  } else if (n.is(NotifyType::selectchanged)) {
    on_select_changed(n);
  } else if (n.is(NotifyType::itemselect)) {
    on_item_select(n);
  } else if (n.is(NotifyType::checkclick)) {
    on_check_click(n);
  } else if (n.is(NotifyType::valuechanged)) {
    on_value_changed(n);
  } else if (n.is(NotifyType::killfocus) || n.is(NotifyType::return_pressed)) {
    on_dpi_edit_left(n);
  } else if (n.is(NotifyType::textchanged)) {
    on_text_changed(n);
  }
  // "timer", "mouseenter", "mouseleave" and the rest: nothing to do.
}

// ---- "click"

void CMS_1_Page::on_click(const Notification& n) {
  const std::string name = name_of(n);
  if (name == kApplyButton || name == kApplyDpiButton) {
    request_apply();
  } else if (name == kResetDpiButton) {
    reset_dpi();
  } else if (name == kProfileResetButton || name == kResetButton) {
    restore_defaults();
  } else if (name == kLightColorButton) {
    choose_light_color();
  } else if (auto level = family_number(name, kDpiColorButtonPrefix, kDpiLevels)) {
    choose_dpi_color(*level);
  } else if (name == kMouseAttributeButton) {
    open_system_mouse_settings();
  } else if (name == kMacroButton) {
    open_macro_editor();
  } else if (auto button = family_number(name, kButtonKeyPrefix, kMouseButtons)) {
    // Buttons 1..12 take a function from the button-function menu; its answer comes
    // back through on_menu_command for this button. 13..18 are shown only.
    if (*button <= kAssignableButtons) open_assignment_menu(*button - 1);
  } else {
    on_profile_click(name);
  }
}

void CMS_1_Page::reset_dpi() {
  profiles_.edit_current([](ProfileRecord& record) { reset_dpi_defaults(record); });
  refresh_page();
  request_apply();
}

void CMS_1_Page::restore_defaults() {
  if (current() == nullptr) return;
  if (show_message_box(window_, QString::fromLatin1(kWarningTitleKey), QString::fromLatin1(kRestoreTextKey)) != 1)
    return;
  // The name stays: only the settings go back to their defaults.
  profiles_.edit_current([](ProfileRecord& record) { reset_profile_defaults(record); });
  refresh_page();
  profiles_.send_all = true;
  request_apply();
}

void CMS_1_Page::choose_light_color() {
  const ProfileRecord* record = current();
  if (record == nullptr) return;
  Control button = view_->control(kLightColorButton);
  uint32_t color = record->light_color;
  if (!run_color_dialog(*window_, button, color)) return;
  profiles_.edit_current([color](ProfileRecord& r) { r.light_color = color; });
  button.set_bk_color(colorref_to_argb(color));
  request_apply();
}

void CMS_1_Page::choose_dpi_color(int level) {
  const ProfileRecord* record = current();
  if (record == nullptr) return;
  Control button = view_->control(numbered(kDpiColorButtonPrefix, level));
  uint32_t color = record->dpi_color[level - 1];
  if (!run_color_dialog(*window_, button, color)) return;
  profiles_.edit_current([color, level](ProfileRecord& r) { r.dpi_color[level - 1] = color; });
  button.set_bk_color(colorref_to_argb(color));
  request_apply();
}

void CMS_1_Page::resync_macros_with_library() {
  MacroResyncResult result;
  {
    // Every profile may change, and the worker's store save reads them all.
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    result = resync_macros(profiles_.profiles, profiles_.current_profile, macro_library_);
  }
  if (!result.current_changed) return;
  show_button_captions(*current());
  request_apply();
}

// ---- "selectchanged": options

void CMS_1_Page::on_select_changed(const Notification& n) {
  if (n.wparam != 1) return;  // only the option that became selected
  const std::string name = name_of(n);
  for (const OptionFamily& family : kOptionFamilies) {
    if (auto number = family_number(name, family.prefix, family.count)) {
      const int32_t index = *number - 1;
      const ProfileRecord* record = current();
      if (family.field == &ProfileRecord::current_dpi_level && record != nullptr &&
          !dpi_level_enabled(*record, *number)) {
        refresh_page();  // back to the level that is current
        return;
      }
      profiles_.edit_current([&](ProfileRecord& record) { record.*family.field = index; });
      request_apply();
      return;
    }
  }
}

// ---- "itemselect": the lighting list and the profile list

void CMS_1_Page::on_item_select(const Notification& n) {
  const int index = static_cast<int>(n.wparam);
  if (n.from(kLightCombo)) {
    if (index < 0 || index >= kLightModeCount) return;
    profiles_.edit_current([index](ProfileRecord& record) { record.light_mode = index; });
    refresh_lighting_rows();
    request_apply_after(kLightModeApplyDelayMs);
  } else if (n.from(kProfileList)) {
    select_profile(index);
  }
}

void CMS_1_Page::select_profile(int index) {
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    if (index < 0 || static_cast<size_t>(index) >= profiles_.profiles.size()) return;
    profiles_.head->selected_profile_index = index;
    profiles_.select_current_unlocked();
  }
  refresh_page();
  // The mouse gets the whole profile; the apply's save records the new selection.
  profiles_.send_all = true;
  request_apply();
}

// ---- "checkclick": section boxes and the movement mode

void CMS_1_Page::on_check_click(const Notification& n) {
  const bool checked = n.wparam != 0;
  if (n.from(kMoveModeCheck)) {
    profiles_.edit_current([checked](ProfileRecord& record) { record.move_mode = checked ? 1 : 0; });
    request_apply();
    return;
  }
  open_section(name_of(n), checked);
}

void CMS_1_Page::open_section(std::string_view check, bool checked) {
  const Section* section = find_section(check);
  if (section == nullptr) return;
  std::string body(section->body);
  if (section->check == kRateCheck) {
    // Which polling-rate body applies depends on the link the mouse is reached by.
    const bool classic = links_.wired_state == kLinkPresent || links_.wireless_online != 0;
    const bool high_speed = !classic && links_.wireless_8k_online != 0;
    view_->set_visible(kRateBody, checked && classic);
    view_->set_visible(kRateHsBody, checked && high_speed);
    body = high_speed ? kRateHsBody : classic ? kRateBody : "";
  } else {
    view_->set_visible(section->body, checked);
  }
  if (checked && section->scrolls && !body.empty()) {
    section_to_show_ = body;
    view_->start_timer(TIMER_SCROLL_SECTION, kSectionScrollDelayMs);
  }
}

// ---- "valuechanged": sliders

void CMS_1_Page::on_value_changed(const Notification& n) {
  const std::string name = name_of(n);
  const int32_t value = static_cast<int32_t>(n.wparam);
  if (auto level = family_number(name, kDpiSliderPrefix, kDpiLevels)) {
    // DPI values go out with the next apply, normally from the DPI apply button.
    profiles_.edit_current([&](ProfileRecord& record) { record.dpi_value[*level - 1] = value; });
    view_->set_plain_text(numbered(kDpiLabelPrefix, *level), cpi_text(value));
    view_->set_plain_text(numbered(kDpiEditPrefix, *level), cpi_text(value));
    return;
  }
  for (const SettingSlider& slider : kSettingSliders) {
    if (name != slider.name) continue;
    profiles_.edit_current([&](ProfileRecord& record) { record.*slider.field = value; });
    if (slider.label != SliderLabel::none && current()) show_setting_labels(*current());
    request_apply_after(kSliderApplyDelayMs);
    return;
  }
}

// ---- "killfocus" / "return": a DPI edit is left or confirmed

void CMS_1_Page::on_dpi_edit_left(const Notification& n) {
  const auto level = family_number(name_of(n), kDpiEditPrefix, kDpiLevels);
  if (!level || current() == nullptr) return;
  const int32_t value = dpi_value_from_edit_text(n.sender.text().toStdU16String());
  profiles_.edit_current([&](ProfileRecord& record) { record.dpi_value[*level - 1] = value; });
  view_->control(numbered(kDpiSliderPrefix, *level)).set_value(value);
  view_->set_plain_text(numbered(kDpiEditPrefix, *level), cpi_text(value));
  // The label shows the same value as the edit, so the two never disagree.
  view_->set_plain_text(numbered(kDpiLabelPrefix, *level), cpi_text(value));
}

// ---- "textchanged": DPI edits keep digits only

void CMS_1_Page::on_text_changed(const Notification& n) {
  if (!family_number(name_of(n), kDpiEditPrefix, kDpiLevels)) return;
  Control edit = n.sender;
  const std::u16string typed = edit.text().toStdU16String();
  const std::u16string digits = digits_only(typed);
  if (digits == typed) return;
  edit.set_text(QString::fromStdU16String(digits));
  edit.set_caret_to_end();
}

}  // namespace norvane
