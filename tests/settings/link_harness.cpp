#include "tests/settings/link_harness.h"

#include <utility>

namespace norvane::testing {

void LibraryMessageQueue::post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  auto* self = static_cast<LibraryMessageQueue*>(context);
  std::lock_guard<std::mutex> lock(self->mutex_);
  self->messages_.push_back({message, wparam, lparam});
}

std::deque<PostedMessage> LibraryMessageQueue::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(messages_, {});
}

LinkHarness::LinkHarness(DriverLinkPorts& drivers) {
  auto profile = std::make_unique<ProfileRecord>();
  reset_profile_defaults(*profile);
  profiles.profiles.push_back(std::move(profile));
  profiles.head->selected_profile_index = 0;
  profiles.select_current_unlocked();
  *profiles.last_applied = *profiles.current_profile;

  presenter = std::make_unique<LinkPresenter>(view, profiles, links, hooks);
  const LinkControllerParts parts{links, drivers, ble, probe, *presenter, view};
  controller = std::make_unique<LinkController>(parts, queue.target(), [this] {
    ++applies;
    if (on_apply) on_apply();
  });
}

LinkHarness::~LinkHarness() { controller->close_links(); }

void LinkHarness::start() {
  controller->open_links();
  pump();
  controller->set_ble_connected(links.ble_present != 0);
  controller->find_ble_mouse();  // as the page does once device notifications run
}

void LinkHarness::pump() {
  // Handling one message may lead a library to post more; keep going until quiet.
  for (std::deque<PostedMessage> batch = queue.take(); !batch.empty(); batch = queue.take()) {
    for (const PostedMessage& m : batch) {
      if (auto folded = fold_library_message(m.id, m.wparam, m.lparam))
        controller->on_link_value(folded->link, folded->value);
    }
  }
}

void LinkHarness::advance(int64_t ms) {
  pump();
  // The page's routing of the main-window timers.
  view.advance(ms, [this](int id) {
    if (id == TIMER_CHARGING) {
      presenter->on_charging_timer();
    } else if (!controller->on_link_timer(id)) {
      view.kill_timer(id);
    }
  });
  pump();
}

}  // namespace norvane::testing
