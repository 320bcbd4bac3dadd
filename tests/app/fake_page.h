#pragma once
// A settings page that only records what the main window asks of it. Its log belongs
// to the test, so it can still be read after the window (and the page) are gone.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/messages.h"
#include "settings/page_interface.h"

namespace norvane::testing {

struct PageLog {
  QStringList calls;           // attach, start_page, watch_device_changes, tear_down
  QStringList notifications;   // "type:sender"
  QStringList menu_commands;
  std::vector<std::pair<LibraryLink, uint32_t>> link_values;
  std::vector<DeviceChangeKind> device_changes;
  std::vector<int> timers;
  std::vector<Message> worker;
  const HookFunctions* hooks = nullptr;
  WindowBase* window = nullptr;
  MessagePortPtr device_port;
  int32_t any_link = 0;
  int open_error = 0;
  std::vector<bool> on_screen;  // every on_screen_changed, in order
};

class FakePage final : public MainWindowPage {
 public:
  explicit FakePage(PageLog& log) : log_(log) {}

  void attach(WindowBase& window, const HookFunctions& hooks) override {
    log_.calls << "attach";
    log_.window = &window;
    log_.hooks = &hooks;
  }
  void start_page() override { log_.calls << "start_page"; }
  void watch_device_changes(MessagePortPtr window) override {
    log_.calls << "watch_device_changes";
    log_.device_port = std::move(window);
  }
  void on_link_value(LibraryLink link, uint32_t value) override { log_.link_values.emplace_back(link, value); }
  void on_device_change(const DeviceChange& change) override { log_.device_changes.push_back(change.kind); }
  void on_page_timer(int id) override { log_.timers.push_back(id); }
  void on_menu_command(const QString& item_name) override { log_.menu_commands << item_name; }
  int32_t any_link() const override { return log_.any_link; }
  void post_to_worker(uint32_t id, uintptr_t wparam, intptr_t lparam) override {
    log_.worker.push_back(Message{id, wparam, lparam});
  }
  void on_screen_changed(bool on_screen) override { log_.on_screen.push_back(on_screen); }
  int mouse_open_error() const override { return log_.open_error; }
  void tear_down() override { log_.calls << "tear_down"; }
  void notify(const Notification& n) override { log_.notifications << QString::fromLatin1(type_name(n.type)) + ":" + n.sender_name; }

 private:
  PageLog& log_;
};

}  // namespace norvane::testing
