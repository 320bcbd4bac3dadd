#pragma once
// What the apply routine asks of the page, from the worker thread. The watchdog
// timers and the busy ring belong to the UI thread, so those calls are queued over to
// it; the store save is queued to the page's store writer, which copies the profile
// list under ProfileState::mutex.

#include <functional>
#include <utility>
#include <vector>

#include "protocol/apply_host.h"
#include "settings/page_view.h"
#include "settings/ui_thread_calls.h"

namespace norvane {

class PageApplyHost final : public ApplyHost {
 public:
  using OverlapsFn = std::function<void(const std::vector<MacroOverlap>&)>;

  PageApplyHost(UiThreadCalls& ui, PageView& view, std::function<void()> save_store, OverlapsFn overlaps = {})
      : ui_(ui), view_(view), save_store_(std::move(save_store)), overlaps_(std::move(overlaps)) {}

  void kill_watchdogs() override;
  void restart_watchdogs() override;
  void show_apply_ring(bool visible) override;
  void save_profile_store() override;
  // Queued over to the UI thread.
  void report_macro_overlaps(const std::vector<MacroOverlap>& overlaps) override;

 private:
  UiThreadCalls& ui_;
  PageView& view_;
  std::function<void()> save_store_;
  OverlapsFn overlaps_;
};

}  // namespace norvane
