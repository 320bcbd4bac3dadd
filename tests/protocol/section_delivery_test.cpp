// What an apply that got only some sections through leaves in the record of what the
// mouse holds, and how many changes the page then says are waiting.

#include "protocol/section_delivery.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/profile_defaults.h"

namespace norvane {
namespace {

std::unique_ptr<ProfileRecord> default_record() {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof *record);
  reset_profile_defaults(*record);
  return record;
}

// Every section of `sent` differs from `held`; slot 2 carries a macro.
struct Records {
  std::unique_ptr<ProfileRecord> held = default_record();
  std::unique_ptr<ProfileRecord> sent = default_record();
  Records() {
    sent->dpi_value[1] = held->dpi_value[1] + 1;
    sent->light_brightness = held->light_brightness - 1;
    sent->polling_rate = held->polling_rate ^ 1;
    sent->wakeup = 1 - held->wakeup;
    sent->buttons[2].function = kFunctionMacro;
    sent->buttons[2].macro_repeat = 4;
  }
};

TEST(SectionDelivery, UndeliveredSectionsKeepWhatTheMouseHeld) {
  Records r;
  const DirtyFlags dirty = compare_sections(*r.sent, *r.held);
  ASSERT_TRUE(dirty.dpi && dirty.light && dirty.rate && dirty.wakeup && dirty.buttons && dirty.macro[2]);

  SectionDelivery delivery;
  delivery.begin(dirty, *r.sent, false);
  delivery.delivered(&DirtyFlags::dpi);
  delivery.macro_delivered(2);  // the macro arrived, the mapping after it did not
  EXPECT_FALSE(delivery.complete());

  auto last_applied = std::make_unique<ProfileRecord>(*r.held);
  delivery.remember(*r.sent, *last_applied);
  const DirtyFlags left = compare_sections(*r.sent, *last_applied);
  EXPECT_FALSE(left.dpi) << "delivered";
  EXPECT_FALSE(left.wakeup) << "no report carries it: counts as delivered";
  EXPECT_TRUE(left.light && left.rate && left.buttons);
  EXPECT_FALSE(left.macro[2]) << "the macro that arrived is not sent again";
  EXPECT_EQ(last_applied->light_brightness, r.held->light_brightness);
  EXPECT_EQ(last_applied->buttons[2].function, r.held->buttons[2].function);
  EXPECT_EQ(count_changes(left, *r.sent), 3);
}

TEST(SectionDelivery, AFullSendThatFellShortSendsTheMissingSectionsAgain) {
  Records r;
  // After a full send, a section equal on both sides says nothing about the mouse.
  auto last_applied = std::make_unique<ProfileRecord>(*r.sent);
  SectionDelivery delivery;
  delivery.begin(all_sections_dirty(), *r.sent, true);
  delivery.opener_delivered();
  delivery.delivered(&DirtyFlags::dpi);
  delivery.delivered(&DirtyFlags::buttons);
  delivery.remember(*r.sent, *last_applied);

  const DirtyFlags left = compare_sections(*r.sent, *last_applied);
  EXPECT_FALSE(left.dpi || left.wakeup);
  EXPECT_TRUE(left.light && left.rate && left.macro[2]);
  // The macro lives in its button slot: the mapping goes again beside it.
  EXPECT_TRUE(left.buttons);
  EXPECT_FALSE(delivery.full_send_owed());
}

TEST(SectionDelivery, AFullSendWithoutItsOpenerIsOwedWhole) {
  Records r;
  SectionDelivery delivery;
  delivery.begin(all_sections_dirty(), *r.sent, true);
  delivery.delivered(&DirtyFlags::dpi);
  delivery.delivered(&DirtyFlags::light);
  delivery.delivered(&DirtyFlags::rate);
  delivery.delivered(&DirtyFlags::buttons);
  delivery.macro_delivered(2);
  EXPECT_TRUE(delivery.full_send_owed());
  EXPECT_FALSE(delivery.complete());
}

TEST(SectionDelivery, ARateWaitingForAnotherLinkIsNoFailureButStaysPending) {
  Records r;
  SectionDelivery delivery;
  DirtyFlags dirty;
  dirty.rate = dirty.light = true;
  delivery.begin(dirty, *r.sent, false);
  delivery.delivered(&DirtyFlags::light);
  delivery.waits_for_another_link(&DirtyFlags::rate);
  EXPECT_TRUE(delivery.complete());
  EXPECT_TRUE(delivery.undelivered().rate);
}

TEST(SectionDelivery, PendingChangesCountTheSectionsWithReports) {
  Records r;
  ProfileState profiles;
  EXPECT_EQ(pending_changes(profiles), 0) << "no profile loaded";
  profiles.profiles.push_back(std::make_unique<ProfileRecord>(*r.sent));
  profiles.select_current_unlocked();
  *profiles.last_applied = *r.held;
  profiles.send_all = false;
  EXPECT_EQ(pending_changes(profiles), 5) << "dpi, light, rate, buttons, one macro; wake-up has no report";
  *profiles.last_applied = *r.sent;
  EXPECT_EQ(pending_changes(profiles), 0);
  profiles.send_all = true;
  EXPECT_EQ(pending_changes(profiles), 5) << "a full send owed";
}

}  // namespace
}  // namespace norvane
