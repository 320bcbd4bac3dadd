// Linux input events and X11 buttons turned into virtual keys and mouse messages, and
// event times on the monotonic clock.

#include "input_capture/input_translation.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include "input_capture/hook_abi.h"
#include "tests/macros/keymaps.h"

using namespace norvane;
using namespace norvane::capture;

namespace {

struct Posted {
  uintptr_t wparam;
  intptr_t lparam;
  bool operator==(const Posted&) const = default;
};

std::optional<Posted> posted(const std::optional<CapturedInput>& input) {
  if (!input) return std::nullopt;
  return Posted{input->wparam, input->lparam};
}

TEST(InputTranslation, KeysFollowTheLayoutAndRepeatsAreDropped) {
  auto us = norvane::testing::xkb_layout("us");
  auto fr = norvane::testing::xkb_layout("fr");
  EXPECT_EQ(posted(input_event_input(EV_KEY, KEY_Q, 1, 0, *us)), (Posted{0x51, 0}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, KEY_Q, 1, 0, *fr)), (Posted{0x41, 0}));  // AZERTY: types A
  EXPECT_EQ(posted(input_event_input(EV_KEY, KEY_Q, 0, 0, *fr)), (Posted{0x41, 1}));
  EXPECT_EQ(input_event_input(EV_KEY, KEY_Q, 2, 0, *fr), std::nullopt);  // the kernel's repeat
  EXPECT_EQ(posted(input_event_input(EV_KEY, KEY_RIGHTALT, 1, 0, *fr)), (Posted{0xA5, 0}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, KEY_KP7, 1, 0, *us)), (Posted{0x67, 0}));
  EXPECT_EQ(input_event_input(EV_KEY, KEY_PROG1, 1, 0, *us), std::nullopt);  // no virtual key
  EXPECT_EQ(input_event_input(EV_KEY, BTN_TOUCH, 1, 0, *us), std::nullopt);
  EXPECT_EQ(input_event_input(EV_ABS, ABS_X, 5, 0, *us), std::nullopt);
  const auto input = input_event_input(EV_KEY, KEY_A, 1, 1234, *us);
  ASSERT_TRUE(input);
  EXPECT_EQ(input->physical_key, static_cast<uint32_t>(KEY_A));
  EXPECT_EQ(input->time_ms, 1234);
}

TEST(InputTranslation, MouseButtonsAndWheelsOfBothSources) {
  auto us = norvane::testing::xkb_layout("us");
  EXPECT_EQ(posted(input_event_input(EV_KEY, BTN_LEFT, 1, 0, *us)), (Posted{NV_WM_LBUTTONDOWN, 0}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, BTN_RIGHT, 0, 0, *us)), (Posted{NV_WM_RBUTTONUP, 0}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, BTN_MIDDLE, 1, 0, *us)), (Posted{NV_WM_MBUTTONDOWN, 0}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, BTN_SIDE, 1, 0, *us)), (Posted{NV_WM_XBUTTONDOWN, NV_XBUTTON_BACK}));
  EXPECT_EQ(posted(input_event_input(EV_KEY, BTN_EXTRA, 0, 0, *us)), (Posted{NV_WM_XBUTTONUP, NV_XBUTTON_FORWARD}));
  EXPECT_EQ(posted(input_event_input(EV_REL, REL_WHEEL, -2, 0, *us)), (Posted{NV_WM_MOUSEWHEEL, -240}));
  EXPECT_EQ(posted(input_event_input(EV_REL, REL_HWHEEL, 1, 0, *us)), (Posted{NV_WM_MOUSEHWHEEL, 120}));
  EXPECT_EQ(input_event_input(EV_REL, REL_X, 3, 0, *us), std::nullopt);

  EXPECT_EQ(posted(x11_button_input(1, true, 0)), (Posted{NV_WM_LBUTTONDOWN, 0}));
  EXPECT_EQ(posted(x11_button_input(2, false, 0)), (Posted{NV_WM_MBUTTONUP, 0}));
  EXPECT_EQ(posted(x11_button_input(3, true, 0)), (Posted{NV_WM_RBUTTONDOWN, 0}));
  EXPECT_EQ(posted(x11_button_input(8, true, 0)), (Posted{NV_WM_XBUTTONDOWN, NV_XBUTTON_BACK}));
  EXPECT_EQ(posted(x11_button_input(9, false, 0)), (Posted{NV_WM_XBUTTONUP, NV_XBUTTON_FORWARD}));
  EXPECT_EQ(posted(x11_button_input(4, true, 0)), (Posted{NV_WM_MOUSEWHEEL, 120}));
  EXPECT_EQ(x11_button_input(4, false, 0), std::nullopt);  // a notch counts once
  EXPECT_EQ(posted(x11_button_input(6, true, 0)), (Posted{NV_WM_MOUSEHWHEEL, -120}));
  EXPECT_EQ(x11_button_input(12, true, 0), std::nullopt);
}

TEST(InputTranslation, ServerTimesOnTheSameClockAcrossTheWrap) {
  const int64_t now = 0x1'0000'0010;  // 16 ms after the low 32 bits wrapped
  EXPECT_EQ(event_time_from_32bit(0x10, now), now);
  EXPECT_EQ(event_time_from_32bit(0xFFFFFFF0, now), now - 32);  // stamped before the wrap
  EXPECT_EQ(event_time_from_32bit(0x7000'0000, now), now);      // another clock: taken as now
  EXPECT_EQ(event_time_from_32bit(static_cast<uint32_t>(5000), 4000), 5000);  // slightly ahead is kept
}

}  // namespace
