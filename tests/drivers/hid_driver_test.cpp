// The hidapi driver library against a double of hidapi and libudev.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "drivers/hidapi/hid_device_match.h"
#include "drivers/hidapi/hid_driver.h"
#include "fake_hid_backend.h"
#include "recording_poster.h"

namespace {

using norvane::hiddriver::HidDriver;
using norvane::hiddriver::HotplugEvent;
using norvane::hiddriver::hid_ids_from_devpath;

constexpr char kMouseDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1D57:2127.0004/hidraw/hidraw4";
constexpr char kMouseKeyboardDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:1D57:2127.0003/hidraw/hidraw3";
constexpr char kOtherDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:046D:C52B.0007/hidraw/hidraw7";

class HidDriverTest : public ::testing::Test {
 protected:
  HidDriverTest() : backend(FakeHid::backend()), driver(backend) {
    driver.set_vidpid(0x1D57, 0x2127);
  }
  void plug_mouse() {
    // The mouse's boot-keyboard interface is listed first; the vendor one second.
    hid.add_interface("/dev/hidraw3", 0x1D57, 0x2127, 0x0001);
    hid.add_interface("/dev/hidraw4", 0x1D57, 0x2127, 0xFF02);
  }

  FakeHid hid;
  RecordingPoster poster;  // outlives the driver and its threads
  norvane::hiddriver::HidBackend backend;
  HidDriver driver;
};

TEST_F(HidDriverTest, WritesFeatureReportsToTheVendorInterfaceAsBuilt) {
  const unsigned char report[15] = {0x05, 0x0F, 0x01, 0x50};
  EXPECT_EQ(driver.open_feature(), 0);  // no device yet
  EXPECT_EQ(driver.set_feature(report, 15), 0);

  plug_mouse();
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(driver.set_feature(report, 15), 15);
  EXPECT_EQ(driver.set_feature(report, 0), 0);
  const auto sent = hid.features_sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "/dev/hidraw4");
  EXPECT_EQ(sent[0].bytes, FakeHid::Bytes(report, report + 15));

  unsigned char readback[8] = {0x05};
  EXPECT_EQ(driver.get_feature(readback, 8), 8);
  EXPECT_EQ(readback[0], 0x05);

  driver.close_feature();
  EXPECT_EQ(driver.set_feature(report, 15), 0);
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST_F(HidDriverTest, ReopeningWithoutClosingLeavesOneHandleAndOneReader) {
  plug_mouse();
  ASSERT_EQ(driver.open_feature(), 1);
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(hid.open_handles(), 2);  // the feature handle and the reader's own
}

TEST_F(HidDriverTest, TheReaderPostsEventReportsPacked) {
  plug_mouse();
  NvPostTarget target = poster.target();
  ASSERT_EQ(driver.open_monitor(&target, 1553, 1554), 1);
  ASSERT_EQ(driver.open_feature(), 1);

  hid.input("/dev/hidraw4", {0x01, 0x02, 0x03, 0x04});  // not an event report
  hid.input("/dev/hidraw4", {0x09, 0x10});              // too short
  hid.input("/dev/hidraw4", {0x09, 0x40, 0x00, 0x39, 0xEE});
  hid.input("/dev/hidraw4", {0x09, 0x50, 0x00, 0x00});
  ASSERT_TRUE(poster.wait_for(2));
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{{1553, 0x4009, 0x3900}, {1553, 0x5009, 0}}));

  // A read error (device pulled out) ends the reader; closing still works.
  hid.fail_reads("/dev/hidraw4");
  driver.close_feature();
  driver.close_monitor();
  EXPECT_EQ(hid.use_after_close(), 0);
}

TEST_F(HidDriverTest, TheMonitorReportsOneArrivalAndOneRemovalPerDevice) {
  NvPostTarget target = poster.target();
  ASSERT_EQ(driver.open_monitor(&target, 1555, 1556), 1);

  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw7", kOtherDevpath);
  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw3", kMouseKeyboardDevpath);
  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw4", kMouseDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw3", kMouseKeyboardDevpath);
  hid.hotplug(HotplugEvent::kOther, "/dev/hidraw4", kMouseDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw4", kMouseDevpath);
  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw4", kMouseDevpath);
  ASSERT_TRUE(poster.wait_for(3));
  driver.close_monitor();
  EXPECT_EQ(poster.messages(),
            (std::vector<PostedMessage>{{1556, 1, 0}, {1556, 0, 0}, {1556, 1, 0}}));

  // Closed, it posts nothing more.
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw4", kMouseDevpath);
  EXPECT_EQ(poster.messages().size(), 3u);
}

TEST_F(HidDriverTest, ADevicePresentAtStartIsNotAnnouncedButItsRemovalIs) {
  plug_mouse();
  NvPostTarget target = poster.target();
  ASSERT_EQ(driver.open_monitor(&target, 1555, 1556), 1);
  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw4", kMouseDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw3", kMouseKeyboardDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw4", kMouseDevpath);
  ASSERT_TRUE(poster.wait_for(1));
  driver.close_monitor();
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1556, 0, 0}}));
}

TEST_F(HidDriverTest, TheReportChannelWritesAndReadsFrames) {
  driver.set_vidpid(0x1D57, 0xFA65);
  hid.add_interface("/dev/hidraw9", 0x1D57, 0xFA65, 0xFF00);
  unsigned char frame[65] = {0x04, 0x14, 0x00, 0x05};
  EXPECT_EQ(driver.write_report(frame, 65), 0);
  ASSERT_EQ(driver.open_report(), 1);
  EXPECT_EQ(driver.write_report(frame, 65), 65);
  ASSERT_EQ(hid.writes().size(), 1u);
  EXPECT_EQ(hid.writes()[0].bytes, FakeHid::Bytes(frame, frame + 65));

  unsigned char in[65] = {};
  EXPECT_EQ(driver.read_report(in, 65), 0);  // nothing waiting: no block
  hid.input("/dev/hidraw9", {0x09, 0x20, 0x74, 0x00});
  EXPECT_EQ(driver.read_report(in, 65), 4);
  EXPECT_EQ(in[2], 0x74);
  driver.close_report();
  EXPECT_EQ(driver.write_report(frame, 65), 0);
}

TEST_F(HidDriverTest, WritesRacingOpenAndCloseNeverTouchAClosedHandle) {
  plug_mouse();
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const unsigned char report[9] = {0x06, 0x09, 0x01, 0x74, 0x8B};
    while (!done) driver.set_feature(report, 9);
  });
  for (int i = 0; i < 200; ++i) {
    driver.open_feature();
    driver.close_feature();
  }
  done = true;
  writer.join();
  EXPECT_EQ(hid.use_after_close(), 0);
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST(HidDevpath, FindsVendorAndProductInTheHidFolderName) {
  uint16_t vendor = 0, product = 0;
  ASSERT_TRUE(hid_ids_from_devpath(kMouseDevpath, vendor, product));
  EXPECT_EQ(vendor, 0x1D57);
  EXPECT_EQ(product, 0x2127);
  ASSERT_TRUE(hid_ids_from_devpath("/devices/virtual/misc/uhid/0005:045E:0009.000A/hidraw/hidraw5",
                                   vendor, product));
  EXPECT_EQ(vendor, 0x045E);
  EXPECT_EQ(product, 0x0009);
  EXPECT_TRUE(hid_ids_from_devpath("/devices/x/0003:1d57:fa60.0001/hidraw/hidraw1", vendor, product));
  EXPECT_EQ(product, 0xFA60);

  EXPECT_FALSE(hid_ids_from_devpath("/devices/x/0003:1D57:2127/hidraw/hidraw1", vendor, product));
  EXPECT_FALSE(hid_ids_from_devpath("/devices/x/0003:1D57:21G7.0001/hidraw/hidraw1", vendor, product));
  EXPECT_FALSE(hid_ids_from_devpath("", vendor, product));
}

}  // namespace
