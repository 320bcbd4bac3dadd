// The three drop-in libraries, loaded the way the program loads them, all
// reach the one virtual mouse that the C control interface drives.

#include <gtest/gtest.h>

#include "device/driver_library.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "tests/drivers/recording_poster.h"

namespace {

using norvane::DriverLibraries;

const unsigned char kLight[15] = {0x05, 0x0F, 0x01, 0x50, 0x03, 0xA8, 0x00, 0x00,
                                  0xFF, 0x01, 0x04, 0x01, 0xFF, 0x00, 0x00};

class VirtualDriverLibrariesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_links(0);
    vm_reset();
    ASSERT_TRUE(libraries.wired.loaded()) << libraries.wired.load_error();
    ASSERT_TRUE(libraries.wireless.loaded()) << libraries.wireless.load_error();
    ASSERT_TRUE(libraries.wireless_8k.loaded()) << libraries.wireless_8k.load_error();
    NvPostTarget target = poster.target();
    libraries.wired.set_vidpid(0x1D57, 0x2127);
    libraries.wired.open_dev_monitor(&target, 1555, 1556);
    libraries.wireless.set_vidpid(0x1D57, 0xFA60);
    libraries.wireless.open_dev_monitor(&target, 1553, 1554);
    libraries.wireless_8k.set_vidpid(0x1D57, 0xFA65);
    libraries.wireless_8k.open_dev_monitor(&target, 1557, 1558);
  }
  void TearDown() override {
    libraries.wireless.close_dev_monitor();
    libraries.wired.close_dev_monitor();
    libraries.wireless_8k.close_dev_monitor();
    libraries.unload_all();
    vm_set_links(0);
  }

  DriverLibraries libraries{NORVANE_BIN_DIR};
  RecordingPoster poster;
};

TEST_F(VirtualDriverLibrariesTest, ARadioReportIsAppliedAndAcknowledged) {
  EXPECT_EQ(libraries.wireless.open_feature_device(), 0);  // not plugged yet
  vm_plug(VM_LINK_24G);
  ASSERT_EQ(libraries.wireless.open_feature_device(), 1);
  EXPECT_EQ(libraries.wireless.set_feature(kLight, 15), 15);
  EXPECT_EQ(libraries.wired.set_feature(kLight, 15), 0);  // the cable is not there

  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1554, 1, 0}, {1553, 0x5009, 0}}));
  VmMouseState state{};
  vm_get_state(&state);
  EXPECT_EQ(state.light_mode, 5);
  EXPECT_EQ(state.plugged_links, VM_LINK_BIT(VM_LINK_24G));
}

TEST_F(VirtualDriverLibrariesTest, TheEightKilohertzLinkWritesFramesThroughItsReportChannel) {
  vm_plug(VM_LINK_8K);
  EXPECT_EQ(libraries.wireless_8k.open_feature_device(), 1);
  ASSERT_EQ(libraries.wireless_8k.open_report_device(), 1);
  unsigned char frame[65] = {0x04, 0x14, 0x00};
  std::copy(kLight, kLight + 15, frame + 3);
  frame[18] = 0x03;
  frame[19] = 0x2C;
  EXPECT_EQ(libraries.wireless_8k.write_usb(frame, 65), 65);
  EXPECT_EQ(libraries.wired.open_report_device(), 0);  // only the 8 kHz receiver has one

  vm_send_battery(0, 57);
  vm_unplug(VM_LINK_8K);
  EXPECT_EQ(libraries.wireless_8k.write_usb(frame, 65), 0);
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{{1558, 1, 0}, {1557, 0x4009, 0x3900}, {1558, 0, 0}}));
  VmCounters counters{};
  vm_get_counters(&counters);
  EXPECT_EQ(counters.reports_accepted, 1u);
}

TEST_F(VirtualDriverLibrariesTest, ControlLinesDriveTheSameMouse) {
  char reply[4096];
  EXPECT_EQ(vm_execute_command("plug cable", reply, sizeof reply), 1);
  EXPECT_STREQ(reply, "ok\n");
  EXPECT_EQ(vm_execute_command("dpi", reply, sizeof reply), 1);
  EXPECT_EQ(vm_execute_command("battery 3 0", reply, sizeof reply), 1);
  EXPECT_EQ(vm_execute_command("links 2.4,8k", reply, sizeof reply), 1);
  EXPECT_EQ(vm_execute_command("plug moon", reply, sizeof reply), 0);
  EXPECT_EQ(std::string(reply).rfind("error:", 0), 0u);
  EXPECT_EQ(vm_execute_command("state", reply, sizeof reply), 1);
  EXPECT_NE(std::string(reply).find("links: 2.4,8k\n"), std::string::npos);

  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{{1556, 1, 0},
                                        {1555, 0x1009, 3},
                                        {1555, 0x4009, 3},
                                        {1556, 0, 0},
                                        {1554, 1, 0},
                                        {1558, 1, 0}}));
}

}  // namespace
