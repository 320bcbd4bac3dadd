// The line of changes waiting for the mouse, and when the page asks to send them again.

#include "settings/pending_changes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/profile_defaults.h"
#include "settings/page_controls.h"
#include "tests/settings/fake_page_view.h"

namespace norvane {
namespace {

using page_controls::kPendingChangesLabel;

class RecordingHooks final : public LinkPageHooks {
 public:
  void refresh_lighting_rows() override {}
  void save_profile_store() override {}
  void request_apply() override { ++apply_requests; }
  std::string language_string(const char* key) const override {
    return std::string(key) == "pending_change_text" ? "1 change waiting" : "%d changes waiting";
  }
  int apply_requests = 0;
};

class PendingChangesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto record = std::make_unique<ProfileRecord>();
    std::memset(record.get(), 0, sizeof *record);
    reset_profile_defaults(*record);
    profiles.profiles.push_back(std::move(record));
    profiles.select_current_unlocked();
    profiles.send_all = false;
  }
  // An edit the mouse has not taken.
  void edit() { profiles.current_profile->light_brightness = 2; }
  void delivered() { *profiles.last_applied = *profiles.current_profile; }

  testing::FakePageView view;
  ProfileState profiles;
  RecordingHooks hooks;
  PendingChanges pending{view, profiles, hooks};
};

TEST_F(PendingChangesTest, TheLineShowsWhileChangesWaitAndGoesWhenTheyArrive) {
  edit();
  pending.apply_finished(ApplyOutcome::mouse_sleeping, 1);
  EXPECT_TRUE(view.visible(kPendingChangesLabel));
  EXPECT_EQ(view.text(kPendingChangesLabel).text, "1 change waiting");
  pending.apply_finished(ApplyOutcome::not_delivered, 3);
  EXPECT_EQ(view.text(kPendingChangesLabel).text, "3 changes waiting");

  // The mouse is back: the waiting changes are asked for at once.
  pending.mouse_reachable(MouseReach::back);
  EXPECT_EQ(hooks.apply_requests, 1);
  delivered();
  pending.apply_finished(ApplyOutcome::applied, 0);
  EXPECT_FALSE(view.visible(kPendingChangesLabel));
  EXPECT_FALSE(pending.waiting());

  // Nothing waits: neither an arrival nor an event asks for an apply.
  pending.mouse_reachable(MouseReach::back);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 1);
}

TEST_F(PendingChangesTest, RepeatedFailuresRetryOnFewerEvents) {
  edit();
  // First failure: the next event retries.
  pending.apply_finished(ApplyOutcome::not_delivered, 1);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 1);

  // Second failure in a row: every second event; third: every fourth.
  pending.apply_finished(ApplyOutcome::not_delivered, 1);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 1);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 2);
  pending.apply_finished(ApplyOutcome::not_delivered, 1);
  for (int i = 0; i < 3; ++i) pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 2);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 3);

  // Many failures: never rarer than every 32nd event.
  for (int i = 0; i < 10; ++i) pending.apply_finished(ApplyOutcome::not_delivered, 1);
  for (int i = 0; i < kMaxEventsBetweenRetries - 1; ++i) pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 3);
  pending.mouse_reachable(MouseReach::heard);
  EXPECT_EQ(hooks.apply_requests, 4);

  // The mouse coming back starts over.
  pending.mouse_reachable(MouseReach::back);
  EXPECT_EQ(hooks.apply_requests, 5);
}

TEST_F(PendingChangesTest, AFullSendStillOwedCountsAsPending) {
  profiles.send_all = true;
  pending.mouse_reachable(MouseReach::back);
  EXPECT_EQ(hooks.apply_requests, 1);
}

TEST(PendingChangesLine, TheNumberGoesWhereTheTextSays) {
  EXPECT_EQ(pending_changes_line(1, "one waiting", "%d waiting"), "one waiting");
  EXPECT_EQ(pending_changes_line(12, "one waiting", "waiting: %d"), "waiting: 12");
  EXPECT_EQ(pending_changes_line(4, "one", "waiting"), "4 waiting") << "a text without a place for it";
}

}  // namespace
}  // namespace norvane
