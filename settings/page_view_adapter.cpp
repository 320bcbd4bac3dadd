#include "settings/page_view_adapter.h"

#include "app/toolkit/window_base.h"

namespace norvane {

Control PageViewAdapter::control(std::string_view name) {
  if (name.empty()) return {};
  auto it = controls_.find(name);
  if (it != controls_.end() && it->second.valid()) return it->second;
  Control found = window_.find(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  // Only found controls are remembered: a skin without the control is asked again,
  // which costs nothing worth saving.
  if (found.valid()) controls_.insert_or_assign(std::string(name), found);
  return found;
}

void PageViewAdapter::set_visible(std::string_view name, bool visible) { control(name).set_visible(visible); }

void PageViewAdapter::set_plain_text(std::string_view name, std::string_view text) {
  Control c = control(name);
  c.set_resource_text(false);
  c.set_text(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void PageViewAdapter::set_language_text(std::string_view name, std::string_view key) {
  Control c = control(name);
  c.set_resource_text(true);
  c.set_text(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
}

void PageViewAdapter::set_progress(std::string_view name, int value) { control(name).set_value(value); }

void PageViewAdapter::set_checked_quietly(std::string_view name, bool checked) {
  control(name).set_checked(checked, Notify::kQuiet);
}

void PageViewAdapter::select_item_quietly(std::string_view name, int index) {
  control(name).select_item(index, Notify::kQuiet);
}

void PageViewAdapter::start_timer(int id, int interval_ms) { window_.set_timer(id, interval_ms); }

void PageViewAdapter::kill_timer(int id) { window_.kill_timer(id); }

void PageViewAdapter::post_message(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  window_.post_message(id, wparam, lparam);
}

}  // namespace norvane
