#include "protocol/settings_applier.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "core/profile_defaults.h"
#include "protocol/dirty_sections.h"
#include "protocol/report.h"
#include "protocol/report_sender.h"
#include "recording_apply_host.h"
#include "recording_clock.h"
#include "recording_endpoints.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;

// Keeps every report and lets a test act (as the UI thread would) while one is sent.
class ScriptedSink final : public ReportSink {
 public:
  int send_report(std::span<const uint8_t> report) override {
    reports.emplace_back(report.begin(), report.end());
    if (during_send) during_send(reports.back());
    return 1;
  }
  std::vector<uint8_t> commands() const {
    std::vector<uint8_t> c;
    for (const auto& r : reports) c.push_back(r[0]);
    return c;
  }
  std::vector<std::vector<uint8_t>> reports;
  std::function<void(const std::vector<uint8_t>&)> during_send;
};

void give_macro(ButtonSlot& slot, int events, uint8_t code, uint16_t delay = 20) {
  slot.function = kFunctionMacro;
  slot.macro_event_count = static_cast<uint16_t>(events);
  for (int i = 0; i < events; ++i) {
    slot.macro_events[i].kind = static_cast<uint8_t>(i % 2 == 0 ? kKindPress : kKindRelease);
    slot.macro_events[i].code = code;
    slot.macro_events[i].delay = delay;
  }
}

// The blocks of the macro chunks sent, in order.
std::vector<int> chunk_blocks(const std::vector<std::vector<uint8_t>>& reports) {
  std::vector<int> blocks;
  for (const auto& r : reports) {
    if (r[0] == kCmdMacroChunk) blocks.push_back(r[2]);
  }
  return blocks;
}

// The three mapping bytes of `slot` in the last button mapping report sent.
std::vector<uint8_t> mapped(const std::vector<std::vector<uint8_t>>& reports, int slot) {
  for (auto r = reports.rbegin(); r != reports.rend(); ++r) {
    if ((*r)[0] == kCmdButtonMapping) return {r->begin() + 3 + 3 * slot, r->begin() + 6 + 3 * slot};
  }
  return {};
}

class SettingsApplierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto record = std::make_unique<ProfileRecord>();
    reset_profile_defaults(*record);
    profiles.profiles.push_back(std::move(record));
    profiles.head->selected_profile_index = 0;
    profiles.select_current_unlocked();
    *profiles.last_applied = *profiles.current_profile;
    links.mouse_sleeping = 0;
    links.wired_state = kLinkPresent;
  }

  ProfileRecord& current() { return *profiles.current_profile; }
  void edit(const std::function<void(ProfileRecord&)>& change) { profiles.edit_current(change); }

  ProfileState profiles;
  LinkState links;
  ScriptedSink sink;
  test::RecordingClock clock;
  test::RecordingApplyHost host;
  SettingsApplier applier{profiles, links, sink, clock, host};
};

TEST_F(SettingsApplierTest, FullSendGoesOutInOrderWithMacrosInSlotOrder) {
  give_macro(current().buttons[7], 60, 0x07);  // two chunks, blocks 17 and 18
  give_macro(current().buttons[0], 3, 0x04);   // block 1
  give_macro(current().buttons[3], 1, 0x05);   // block 0
  current().buttons[1].macro_event_count = 5;  // events without a macro assignment: not uploaded
  profiles.send_all = true;

  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);

  EXPECT_THAT(sink.commands(), ElementsAre(0x0C, 0x04, 0x05, 0x06, 0x08, 0x09, 0x09, 0x09, 0x09));
  std::vector<uint8_t> blocks;
  for (size_t i = 5; i < sink.reports.size(); ++i) blocks.push_back(sink.reports[i][2]);
  EXPECT_THAT(blocks, ElementsAre(1, 0, 17, 18));
  EXPECT_EQ(clock.pauses, std::vector<int>(4, 500));
  EXPECT_FALSE(profiles.send_all);
  EXPECT_THAT(host.calls, ElementsAre("kill watchdogs", "show ring", "restart watchdogs", "save", "hide ring"));
  EXPECT_EQ(std::memcmp(profiles.last_applied.get(), &current(), sizeof(ProfileRecord)), 0);
}

TEST_F(SettingsApplierTest, OneChangedSectionSendsOneReport) {
  edit([](ProfileRecord& p) { p.ripple_control = 0; });
  applier.apply_settings();
  ASSERT_THAT(sink.commands(), ElementsAre(0x04));
  EXPECT_EQ(sink.reports[0][4], 0);
  EXPECT_EQ(host.saves(), 1u);

  // Nothing changed since: nothing is sent, the store is still saved.
  sink.reports.clear();
  applier.apply_settings();
  EXPECT_TRUE(sink.reports.empty());
  EXPECT_EQ(host.saves(), 2u);
}

TEST_F(SettingsApplierTest, EachFieldDirtiesItsOwnSection) {
  struct Case {
    const char* name;
    std::function<void(ProfileRecord&)> change;
    std::vector<uint8_t> expected;
  };
  const Case cases[] = {
      {"wake-up", [](ProfileRecord& p) { p.wakeup = 0; }, {}},
      {"move mode", [](ProfileRecord& p) { p.move_mode = 1; }, {}},
      {"name and spare colours", [](ProfileRecord& p) { p.name[0] = u'X'; p.spare_color[3] = 1; }, {}},
      {"reserved word beside the DPI values", [](ProfileRecord& p) { p.reserved_f = 1; }, {0x04}},
      {"high bytes of the DPI level", [](ProfileRecord& p) { p.current_dpi_level += 0x100; }, {0x04}},
      {"unsent second DPI table", [](ProfileRecord& p) { p.dpi_value_2[7] = 3; }, {0x04}},
      {"light-off timer", [](ProfileRecord& p) { p.light_off_timer = 9; }, {0x05}},
      {"reserved lighting word", [](ProfileRecord& p) { p.reserved_g = 0; }, {0x05}},
      {"high rate", [](ProfileRecord& p) { p.polling_rate_hs = 1; }, {0x06}},
      {"slot 20, never shown", [](ProfileRecord& p) { p.buttons[20].function = 4; }, {0x08}},
      // The macro itself goes out only when its playback data changes.
      {"macro assigned, events unchanged", [](ProfileRecord& p) {
         p.buttons[2].function = kFunctionMacro;
         p.buttons[2].macro_name[0] = u'M';
         p.buttons[2].macro_event_count = 1;
       }, {0x08}},
      {"events of a slot without a macro", [](ProfileRecord& p) { p.buttons[5].macro_events[189].delay = 4; }, {0x08}},
      {"several sections", [](ProfileRecord& p) { p.polling_rate = 0; p.light_mode = 2; p.angle_snap = 1; },
       {0x04, 0x05, 0x06}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sink.reports.clear();
    const size_t saves_before = host.saves();
    edit(c.change);
    applier.apply_settings();
    EXPECT_EQ(sink.commands(), c.expected);
    EXPECT_EQ(host.saves(), saves_before + 1);
  }
}

TEST_F(SettingsApplierTest, MacroIsUploadedWhenItsPlaybackDataChanges) {
  give_macro(current().buttons[1], 4, 0x10);
  applier.apply_settings();  // assignment: mapping and the macro
  EXPECT_THAT(sink.commands(), ElementsAre(0x08, 0x09));

  const std::vector<std::function<void(ButtonSlot&)>> changes = {
      [](ButtonSlot& s) { s.macro_mode = 2; },
      [](ButtonSlot& s) { s.macro_repeat = 9; },
      [](ButtonSlot& s) { s.macro_header_extra[1] = 1; },
      [](ButtonSlot& s) { s.unused_4 = 1; },  // the byte sharing the header word
      [](ButtonSlot& s) { s.macro_events[0].x = 1; },
  };
  for (const auto& change : changes) {
    sink.reports.clear();
    edit([&](ProfileRecord& p) { change(p.buttons[1]); });
    applier.apply_settings();
    EXPECT_THAT(sink.commands(), ElementsAre(0x08, 0x09));
    EXPECT_EQ(sink.reports[1][2], 5);  // slot 1's block
  }
}

TEST_F(SettingsApplierTest, AMacroThatWouldOverwriteAnEarlierOneIsLeftOutUntilItHasRoom) {
  // 4-byte entries, 24 to a chunk: blocks 1..5, into button 2's block 5.
  give_macro(current().buttons[0], 110, 0x04, 300);
  give_macro(current().buttons[1], 2, 0x05);
  give_macro(current().buttons[2], 2, 0x06);  // block 9
  profiles.send_all = true;

  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_THAT(mapped(sink.reports, 0), ElementsAre(18, 0, 1));
  EXPECT_THAT(mapped(sink.reports, 1), ElementsAre(1, 0, 0)) << "sent as a disabled button";
  EXPECT_THAT(mapped(sink.reports, 2), ElementsAre(18, 0, 9));
  EXPECT_THAT(chunk_blocks(sink.reports), ElementsAre(1, 2, 3, 4, 5, 9));
  EXPECT_THAT(host.overlap_reports, ElementsAre(ElementsAre(MacroOverlap{1, 0})));
  EXPECT_EQ(current().buttons[1].function, kFunctionMacro) << "the profile keeps its assignment";
  EXPECT_EQ(std::memcmp(profiles.last_applied.get(), &current(), sizeof(ProfileRecord)), 0);

  // Another change leaves the same button out and says so again.
  sink.reports.clear();
  edit([](ProfileRecord& p) { p.buttons[4].function = 3; });
  applier.apply_settings();
  EXPECT_THAT(mapped(sink.reports, 1), ElementsAre(1, 0, 0));
  EXPECT_THAT(chunk_blocks(sink.reports), ElementsAre());
  EXPECT_EQ(host.overlap_reports.size(), 2u);

  // A change that sends nothing about the buttons says nothing about them.
  edit([](ProfileRecord& p) { p.light_brightness = 2; });
  applier.apply_settings();
  EXPECT_EQ(host.overlap_reports.size(), 2u);

  // Button 1 gives up its macro: button 2 goes out with its macro, although its own data
  // never changed, and nothing is left out any more.
  sink.reports.clear();
  edit([](ProfileRecord& p) { p.buttons[0].function = 1; });
  applier.apply_settings();
  EXPECT_THAT(mapped(sink.reports, 1), ElementsAre(18, 0, 5));
  EXPECT_THAT(chunk_blocks(sink.reports), ElementsAre(5));
  EXPECT_TRUE(host.overlap_reports.back().empty());

  sink.reports.clear();
  edit([](ProfileRecord& p) { p.buttons[4].function = 0; });
  applier.apply_settings();
  EXPECT_THAT(chunk_blocks(sink.reports), ElementsAre()) << "uploaded once is enough";
}

TEST_F(SettingsApplierTest, AMacroWhoseBlocksAnotherButtonWroteSinceIsUploadedAgain) {
  give_macro(current().buttons[3], 2, 0x04);  // block 0
  profiles.send_all = true;
  applier.apply_settings();

  // Button 4 becomes a left click and button 5 takes block 0 with a macro of its own.
  edit([](ProfileRecord& p) { p.buttons[3].function = 1; });
  applier.apply_settings();
  edit([](ProfileRecord& p) { give_macro(p.buttons[4], 2, 0x07); });
  sink.reports.clear();
  applier.apply_settings();
  EXPECT_THAT(chunk_blocks(sink.reports), ElementsAre(0));

  // Button 5 gives it up, button 4 gets its unchanged macro back: block 0 now holds
  // button 5's macro, so button 4's goes out again.
  edit([](ProfileRecord& p) {
    p.buttons[4].function = 0;
    p.buttons[3].function = kFunctionMacro;
  });
  sink.reports.clear();
  applier.apply_settings();
  ASSERT_THAT(chunk_blocks(sink.reports), ElementsAre(0));
  EXPECT_EQ(sink.reports.back()[10], 0x04);  // the first event's key
}

TEST_F(SettingsApplierTest, SleepingMouseLeavesEverythingPending) {
  links.mouse_sleeping = 1;
  profiles.send_all = true;
  edit([](ProfileRecord& p) { p.light_brightness = 1; });

  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::mouse_sleeping);
  EXPECT_TRUE(sink.reports.empty());
  EXPECT_THAT(host.calls, ElementsAre("save")) << "the store keeps the edit";
  EXPECT_EQ(profiles.last_applied->light_brightness, 8);
  EXPECT_TRUE(profiles.send_all);

  links.mouse_sleeping = 0;
  applier.apply_settings();
  EXPECT_EQ(sink.commands().front(), 0x0C);
}

TEST_F(SettingsApplierTest, EmptyProfileListDoesNothing) {
  {
    std::lock_guard<std::mutex> lock(profiles.mutex);
    profiles.profiles.clear();
    profiles.select_current_unlocked();
  }
  profiles.send_all = true;
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::no_profile);
  EXPECT_TRUE(sink.reports.empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(SettingsApplierTest, EditMadeWhileSendingStaysPendingForTheNextApply) {
  edit([](ProfileRecord& p) { p.light_brightness = 3; });
  // While the lighting report is on its way the user changes ripple control and asks for
  // a full send (another profile selected).
  sink.during_send = [this](const std::vector<uint8_t>& report) {
    if (report[0] != kCmdLight) return;
    edit([](ProfileRecord& p) { p.ripple_control = 0; });
    profiles.send_all = true;
  };
  applier.apply_settings();
  EXPECT_THAT(sink.commands(), ElementsAre(0x05));
  EXPECT_EQ(profiles.last_applied->light_brightness, 3);
  EXPECT_EQ(profiles.last_applied->ripple_control, 1);  // what was sent, not what is current
  EXPECT_TRUE(profiles.send_all);

  sink.during_send = nullptr;
  profiles.send_all = false;
  sink.reports.clear();
  applier.apply_settings();
  ASSERT_THAT(sink.commands(), ElementsAre(0x04));
  EXPECT_EQ(sink.reports[0][4], 0);
  EXPECT_EQ(profiles.last_applied->ripple_control, 0);
}

TEST_F(SettingsApplierTest, ShutDownEndsAnApplyBetweenChunksAndKeepsTheRestPending) {
  give_macro(current().buttons[0], 60, 0x04);  // two chunks
  profiles.send_all = true;
  bool closing = false;
  applier.set_stop_check([&] { return closing; });
  sink.during_send = [&](const std::vector<uint8_t>& report) { closing = report[0] == kCmdMacroChunk; };

  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::stopped);

  EXPECT_THAT(sink.commands(), ElementsAre(0x0C, 0x04, 0x05, 0x06, 0x08, 0x09));
  EXPECT_THAT(host.calls, ElementsAre("kill watchdogs", "show ring", "restart watchdogs", "save", "hide ring"));
  EXPECT_EQ(profiles.last_applied->buttons[0].function, kFunctionMacro);  // the mapping arrived

  // The next run sends the interrupted macro (the mapping beside it), nothing else.
  closing = false;
  sink.during_send = nullptr;
  sink.reports.clear();
  EXPECT_EQ(applier.apply_settings(), ApplyOutcome::applied);
  EXPECT_THAT(sink.commands(), ElementsAre(0x08, 0x09, 0x09));
  EXPECT_FALSE(compare_sections(current(), *profiles.last_applied).any());
}

TEST_F(SettingsApplierTest, ApplyThroughTheCableIsPacedBySenderAndUploader) {
  test::RecordingEndpoints endpoints;
  ReportSender sender(links, endpoints, clock);
  SettingsApplier wired(profiles, links, sender, clock, host);
  give_macro(current().buttons[0], 2, 0x04);

  wired.apply_settings();

  // Mapping: one transfer and 1,000 ms; the macro chunk: two parts, 200 + 200 + 1,000 + 500.
  ASSERT_EQ(endpoints.transfers.size(), 3u);
  EXPECT_EQ(endpoints.transfers[0].bytes[0], 0x08);
  EXPECT_THAT(clock.pauses, ElementsAre(1000, 200, 200, 1000, 500));
}

}  // namespace
}  // namespace norvane
