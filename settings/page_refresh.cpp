// Showing the current profile: options, sliders, labels, colours, captions, the
// lighting rows and the profile list.

#include <QCoreApplication>
#include <QEvent>
#include <utility>

#include "app/toolkit/resources.h"
#include "core/light_mode.h"
#include "device/link_controller.h"
#include "settings/link_presenter.h"
#include "settings/ms1_page.h"
#include "settings/page_controls.h"
#include "settings/page_devices.h"
#include "settings/page_labels.h"
#include "settings/page_view_adapter.h"

namespace norvane {

using namespace page_controls;

namespace {

QString name_of(const ProfileRecord& record) {
  const std::u16string_view name = field_name(record.name);
  return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

std::u16string usage_number(uint8_t usage) {
  const std::string text = std::to_string(usage);
  return std::u16string(text.begin(), text.end());
}

}  // namespace

void CMS_1_Page::refresh_page() {
  if (view_ == nullptr) return;
  if (presenter_) presenter_->refresh_link_sections();
  const ProfileRecord* record = current();
  if (record == nullptr) return;
  PageViewAdapter& view = *view_;

  // Options are always selected without a notification. A value without an option
  // leaves the options as they are.
  auto select_option = [&view, record](const OptionFamily& family) {
    const std::string option = option_for(family, record->*family.field);
    if (!option.empty()) view.set_checked_quietly(option, true);
  };
  select_option(kOptionFamilies[0]);  // the DPI level
  for (int level = 1; level <= kDpiLevels; ++level) show_dpi_level(*record, level);

  view.select_item_quietly(kLightCombo, record->light_mode);
  view.control(kBrightnessSlider).set_value(record->light_brightness);
  view.control(kSpeedSlider).set_value(record->breath_speed);
  view.control(kLightColorButton).set_bk_color(colorref_to_argb(record->light_color));

  // The remaining option families, in the order of the table after the DPI levels.
  for (size_t i = 1; i < kOptionFamilies.size(); ++i) select_option(kOptionFamilies[i]);
  for (const SettingSlider& slider : kSettingSliders) {
    Control control = view.control(slider.name);
    control.set_range(slider.minimum, slider.maximum);
    control.set_value(record->*slider.field);
  }
  show_setting_labels(*record);
  show_button_captions(*record);
}

void CMS_1_Page::show_dpi_level(const ProfileRecord& record, int level) {
  PageViewAdapter& view = *view_;
  const int32_t value = record.dpi_value[level - 1];
  Control slider = view.control(numbered(kDpiSliderPrefix, level));
  slider.set_range(kDpiSliderMinimum, kDpiSliderMaximum);
  slider.set_value(value);
  view.set_plain_text(numbered(kDpiLabelPrefix, level), cpi_text(value));
  view.set_plain_text(numbered(kDpiEditPrefix, level), cpi_text(value));
  view.control(numbered(kDpiColorButtonPrefix, level)).set_bk_color(colorref_to_argb(record.dpi_color[level - 1]));
  // A level the mouse has switched off is drawn disabled and cannot become the current
  // one; when the mouse reports it as current anyway, its option stays checked.
  const bool enabled = dpi_level_enabled(record, level);
  view.control(numbered(kDpiLevelOptionPrefix, level)).set_enabled(enabled);
  for (const char* prefix : {kDpiSliderPrefix, kDpiLabelPrefix, kDpiEditPrefix, kDpiColorButtonPrefix}) {
    view.control(numbered(prefix, level)).set_enabled(enabled);
  }
}

void CMS_1_Page::show_setting_labels(const ProfileRecord& record) {
  const std::string unit = language_text("sleep_timer_2_text").toStdString();
  view_->set_plain_text(kSleepTimerLabel,
                        sleep_timer_label(language_text("sleep_timer_3_text").toStdString(), record.sleep_timer, unit));
  view_->set_plain_text(kLightOffLabel, light_off_label(language_text("sleep_timer_1_text").toStdString(),
                                                        record.light_off_timer, unit));
  view_->set_plain_text(kDebounceLabel, key_debounce_label(record.key_debounce));
}

void CMS_1_Page::show_button_captions(const ProfileRecord& record) {
  for (int slot = 0; slot < kMouseButtons; ++slot) show_button_caption(record, slot);
}

void CMS_1_Page::show_button_caption(const ProfileRecord& record, int slot) {
  const LanguageTextFn text = [](std::string_view key) {
    return resources().text(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdU16String();
  };
  const KeyNameFn key_name = environment_.key_name ? environment_.key_name : KeyNameFn(usage_number);
  const ButtonCaption caption = button_caption(record.buttons[slot], text, key_name);
  Control button = view_->control(numbered(kButtonKeyPrefix, slot + 1));
  if (caption.is_language_key) {
    button.set_resource_text(true);
    button.set_text(QString::fromStdString(caption.key));
  } else {
    button.set_resource_text(false);
    button.set_text(QString::fromStdU16String(caption.text));
  }
}

void CMS_1_Page::refresh_lighting_rows() {
  if (view_ == nullptr) return;
  const ProfileRecord* record = current();
  const LightingPanels panels = record ? lighting_panels(record->light_mode) : LightingPanels{};
  view_->set_visible(kBrightnessPanel, panels.brightness);
  view_->set_visible(kSpeedPanel, panels.speed);
  view_->set_visible(kLightColorPanel, panels.color);
}

void CMS_1_Page::fill_profile_list() {
  Control list = view_->control(kProfileList);
  list.remove_all_rows();
  int selected = 0;
  {
    std::lock_guard<std::mutex> lock(profiles_.mutex);
    for (const auto& profile : profiles_.profiles) list.add_label_row(name_of(*profile), kProfileRowHeight);
    selected = profiles_.selected_profile_index();
  }
  // Quiet: start-up shows the stored profile, it does not select another one.
  list.select_item(selected, Notify::kQuiet);
}

void CMS_1_Page::bring_opened_section_into_view() {
  const std::string body_name = std::exchange(section_to_show_, std::string());
  if (body_name.empty()) return;
  const page_controls::Section* section = nullptr;
  for (const Section& s : kSections) {
    if (s.body == body_name || (s.check == kRateCheck && body_name == kRateHsBody)) section = &s;
  }
  Control area = view_->control(kSettingArea);
  Control body = view_->control(body_name);
  if (!area || !body || !body.is_visible()) return;
  // The body was shown a moment ago: let the layouts give it its place first.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  // The whole body if it fits, and in any case the section's own check box at the top.
  area.scroll_into_view(body);
  if (section) area.scroll_into_view(view_->control(section->check));
}

}  // namespace norvane
