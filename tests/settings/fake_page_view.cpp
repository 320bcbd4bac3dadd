#include "tests/settings/fake_page_view.h"

namespace norvane::testing {

void FakePageView::advance(int64_t ms, const std::function<void(int id)>& fire) {
  const int64_t end = now_ms_ + ms;
  for (;;) {
    int next_id = 0;
    int64_t next_due = end + 1;
    for (const auto& [id, timer] : timers_) {
      if (timer.due_ms < next_due) {
        next_id = id;
        next_due = timer.due_ms;
      }
    }
    if (next_due > end) break;
    now_ms_ = next_due;
    Timer& timer = timers_[next_id];
    timer.due_ms += timer.interval_ms;  // repeats until the handler kills it
    fire(next_id);
  }
  now_ms_ = end;
}

std::vector<PostedMessage> FakePageView::take_posted(uint32_t id) {
  std::vector<PostedMessage> taken;
  std::vector<PostedMessage> kept;
  for (const PostedMessage& m : posted_) (m.id == id ? taken : kept).push_back(m);
  posted_ = std::move(kept);
  return taken;
}

}  // namespace norvane::testing
