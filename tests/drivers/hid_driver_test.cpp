// The hidapi driver library against a double of hidapi, sysfs and libudev.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "drivers/hidapi/hid_device_match.h"
#include "drivers/hidapi/hid_driver.h"
#include "fake_hid_backend.h"
#include "recording_poster.h"

namespace {

using norvane::hiddriver::HidDriver;
using norvane::hiddriver::HotplugEvent;
using norvane::hiddriver::hid_ids_from_devpath;
using Bytes = FakeHid::Bytes;

constexpr char kMouseDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1D57:2127.0004/hidraw/hidraw4";
constexpr char kMouseKeyboardDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:1D57:2127.0003/hidraw/hidraw3";
constexpr char kOtherDevpath[] = "/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:046D:C52B.0007/hidraw/hidraw7";

// The driver's trace lines, from any of its threads.
class TraceLines {
 public:
  NvTraceTarget target() { return NvTraceTarget{this, &TraceLines::add}; }
  bool contains(const std::string& part) {
    std::lock_guard lock(mutex_);
    return count_locked(part) > 0;
  }
  int count(const std::string& part) {
    std::lock_guard lock(mutex_);
    return count_locked(part);
  }
  // Waits until a line containing `part` has been traced; the limit only keeps a
  // broken driver from hanging the run.
  bool wait_for(const std::string& part) {
    std::unique_lock lock(mutex_);
    return added_.wait_for(lock, std::chrono::seconds(10), [&] { return count_locked(part) > 0; });
  }

 private:
  static void add(void* context, const char* line) {
    auto* self = static_cast<TraceLines*>(context);
    std::lock_guard lock(self->mutex_);
    self->lines_.emplace_back(line);
    self->added_.notify_all();
  }
  int count_locked(const std::string& part) const {
    int n = 0;
    for (const std::string& line : lines_) n += line.find(part) != std::string::npos ? 1 : 0;
    return n;
  }
  std::mutex mutex_;
  std::condition_variable added_;
  std::vector<std::string> lines_;
};

Bytes padded(Bytes bytes, size_t length) {
  bytes.resize(length, 0);
  return bytes;
}

class HidDriverTest : public ::testing::Test {
 protected:
  HidDriverTest() : backend(FakeHid::backend()), driver(backend, std::chrono::milliseconds(0)) {
    driver.set_vidpid(0x1D57, 0x2127);
    NvTraceTarget target = traces.target();
    driver.set_trace_target(&target);
  }
  // The cable: a plain mouse on interface 0, keyboard, consumer control and the
  // vendor collection on interface 1.
  void plug_mouse() {
    hid.add_interface("/dev/hidraw3", 0x1D57, 0x2127, 0, built::boot_mouse());
    hid.add_interface("/dev/hidraw4", 0x1D57, 0x2127, 1, built::keyboard_and_vendor());
  }
  void open_monitor(uint32_t event_message, uint32_t link_message) {
    NvPostTarget target = poster.target();
    ASSERT_EQ(driver.open_monitor(&target, event_message, link_message), 1);
  }

  FakeHid hid;
  RecordingPoster poster;  // outlives the driver and its threads
  TraceLines traces;
  norvane::hiddriver::HidBackend backend;
  HidDriver driver;
};

TEST_F(HidDriverTest, FeatureReportsGoPaddedToTheNodeThatDeclaresThem) {
  const unsigned char report[15] = {0x05, 0x0F, 0x01, 0x50};
  EXPECT_EQ(driver.open_feature(), 0);  // no device yet
  EXPECT_EQ(driver.open_error(), 0);
  EXPECT_EQ(driver.set_feature(report, 15), 0);

  plug_mouse();
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(driver.set_feature(report, 15), 64);
  EXPECT_EQ(driver.set_feature(report, 0), 0);
  const auto sent = hid.features_sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "/dev/hidraw4");
  EXPECT_EQ(sent[0].bytes, padded(Bytes(report, report + 15), 64));
  EXPECT_TRUE(traces.contains("hidapi 1d57:2127: node /dev/hidraw3 interface 0: input 00:6"));
  EXPECT_TRUE(traces.contains("roles: feature /dev/hidraw4, report none, readers /dev/hidraw4"));

  // A report the node does not declare, or one too long for it, is not sent.
  const unsigned char unknown[4] = {0x07, 0x04, 0x01, 0x00};
  EXPECT_EQ(driver.set_feature(unknown, 4), 0);
  EXPECT_TRUE(traces.contains("feature not sent on /dev/hidraw4: the node declares no feature report 0x07"));
  const Bytes too_long(70, 0x04);
  EXPECT_EQ(driver.set_feature(too_long.data(), 70), 0);
  EXPECT_EQ(hid.features_sent().size(), 1u);
  EXPECT_EQ(hid.malformed_transfers(), 0);

  unsigned char readback[8] = {0x05};
  EXPECT_EQ(driver.get_feature(readback, 8), 8);
  EXPECT_EQ(readback[0], 0x05);

  driver.close_feature();
  EXPECT_EQ(driver.set_feature(report, 15), 0);
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST_F(HidDriverTest, DeviceWithoutReportIdsGetsAZeroInFront) {
  hid.add_interface("/dev/hidraw3", 0x1D57, 0x2127, 0, built::boot_mouse());
  hid.add_interface("/dev/hidraw4", 0x1D57, 0x2127, 1, built::unnumbered_vendor());
  ASSERT_EQ(driver.open_feature(), 1);
  const Bytes rate = {0x06, 0x09, 0x01, 0x74, 0x8B};
  EXPECT_EQ(driver.set_feature(rate.data(), 5), 65);
  Bytes expected = {0x00};
  expected.insert(expected.end(), rate.begin(), rate.end());
  ASSERT_EQ(hid.features_sent().size(), 1u);
  EXPECT_EQ(hid.features_sent()[0].bytes, padded(expected, 65));
  EXPECT_EQ(hid.malformed_transfers(), 0);
}

TEST_F(HidDriverTest, ReopeningWithoutClosingLeavesOneHandleAndOneReader) {
  plug_mouse();
  ASSERT_EQ(driver.open_feature(), 1);
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(hid.open_handles(), 2);  // the feature handle and the reader's own
  EXPECT_EQ(hid.open_handles("/dev/hidraw3"), 0);  // the plain mouse is never read
  // The unchanged choice is traced once.
  EXPECT_EQ(traces.count("roles:"), 1);
  driver.close_feature();
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST_F(HidDriverTest, ANodeListedOncePerCollectionIsOneNode) {
  // hidapi 0.13 lists the keyboard-and-vendor node once for each of its three
  // top-level collections.
  hid.add_interface("/dev/hidraw3", 0x1D57, 0x2127, 0, built::boot_mouse());
  for (int collection = 0; collection < 3; ++collection) {
    hid.add_interface("/dev/hidraw4", 0x1D57, 0x2127, 1, built::keyboard_and_vendor());
  }
  open_monitor(1555, 1556);
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(hid.open_handles("/dev/hidraw4"), 2);  // the feature channel and one reader
  EXPECT_TRUE(traces.contains("roles: feature /dev/hidraw4, report none, readers /dev/hidraw4"));
  EXPECT_EQ(traces.count("node /dev/hidraw4"), 1);

  hid.input("/dev/hidraw4", {0x09, 0x10, 0x02, 0x00, 0, 0, 0, 0});
  hid.input("/dev/hidraw4", {0x09, 0x10, 0x03, 0x00, 0, 0, 0, 0});
  ASSERT_TRUE(poster.wait_for(2));
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1555, 0x1009, 2}, {1555, 0x1009, 3}}));
}

TEST_F(HidDriverTest, EventsAreReadOnEveryNodeThatMayCarryThem) {
  driver.set_vidpid(0x1D57, 0xFA60);
  hid.add_interface("/dev/hidraw5", 0x1D57, 0xFA60, 0, built::boot_mouse());
  hid.add_interface("/dev/hidraw6", 0x1D57, 0xFA60, 1, built::vendor_features(false));
  hid.add_interface("/dev/hidraw7", 0x1D57, 0xFA60, 2, built::vendor_events());
  open_monitor(1553, 1554);
  ASSERT_EQ(driver.open_feature(), 1);
  EXPECT_TRUE(traces.contains("roles: feature /dev/hidraw6, report none, readers /dev/hidraw7"));

  hid.input("/dev/hidraw7", {0x01, 0x02, 0x03, 0x04});  // not an event report
  hid.input("/dev/hidraw7", {0x09, 0x10});              // too short
  hid.input("/dev/hidraw7", {0x09, 0x40, 0x00, 0x39, 0x00, 0x00, 0x00, 0x00});
  hid.input("/dev/hidraw7", padded({0x04, 0x09, 0x00, 0x09, 0x50, 0x00, 0x00, 0x00, 0x66}, 65));
  ASSERT_TRUE(poster.wait_for(2));
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1553, 0x4009, 0x3900}, {1553, 0x5009, 0}}));
  EXPECT_TRUE(traces.contains("input report of unknown shape on /dev/hidraw7, 4 bytes: 01 02 03 04"));
  EXPECT_TRUE(traces.contains("input report of unknown shape on /dev/hidraw7, 2 bytes: 09 10"));

  // Unknown shapes are traced a few times per node, then no more.
  for (int i = 0; i < 20; ++i) hid.input("/dev/hidraw7", {0x02, static_cast<uint8_t>(i)});
  hid.input("/dev/hidraw7", {0x09, 0x10, 0x02, 0x00});
  ASSERT_TRUE(poster.wait_for(3));
  EXPECT_EQ(traces.count("of unknown shape"), HidDriver::kUnknownReportsTraced);
  EXPECT_EQ(traces.count("no more are traced from this node"), 1);
}

TEST_F(HidDriverTest, AReaderReadsAgainAfterAFailureUnlessTheNodeIsGone) {
  plug_mouse();
  open_monitor(1555, 1556);
  ASSERT_EQ(driver.open_feature(), 1);

  // One failed read (a signal, a hiccup): the next event still arrives.
  hid.fail_next_read("/dev/hidraw4");
  hid.input("/dev/hidraw4", {0x09, 0x10, 0x03, 0x00, 0, 0, 0, 0});
  ASSERT_TRUE(poster.wait_for(1));

  // Reads that keep failing on a node still there end the reader after a while.
  hid.fail_reads("/dev/hidraw4");
  EXPECT_TRUE(traces.wait_for("reader on /dev/hidraw4 stops after 50 failed reads"));
  driver.close_feature();
  EXPECT_EQ(hid.use_after_close(), 0);
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST_F(HidDriverTest, ANodeThatCannotBeOpenedIsToldApartFromNoDevice) {
  plug_mouse();
  hid.refuse_open("/dev/hidraw4", EACCES);
  EXPECT_EQ(driver.open_feature(), 0);
  EXPECT_EQ(driver.open_error(), EACCES);
  EXPECT_TRUE(traces.contains("cannot open /dev/hidraw4 for the feature channel: Permission denied"));
  EXPECT_EQ(hid.open_handles(), 0);

  // Once the rule is in place, the next open works and the error is gone.
  hid.refuse_open("/dev/hidraw4", 0);
  EXPECT_EQ(driver.open_feature(), 1);
  EXPECT_EQ(driver.open_error(), 0);
  driver.close_feature();

  hid.remove_interface("/dev/hidraw3");
  hid.remove_interface("/dev/hidraw4");
  EXPECT_EQ(driver.open_feature(), 0);
  EXPECT_EQ(driver.open_error(), 0);
}

TEST_F(HidDriverTest, ADeviceWithOnlyAPlainMouseMatchesNoRole) {
  hid.add_interface("/dev/hidraw3", 0x1D57, 0x2127, 0, built::boot_mouse());
  hid.add_interface("/dev/hidraw4", 0x1D57, 0x2127, 1, built::vendor_features(true));
  hid.hide_descriptor("/dev/hidraw4");
  EXPECT_EQ(driver.open_feature(), 0);
  EXPECT_EQ(driver.open_error(), 0);
  EXPECT_TRUE(traces.contains("node /dev/hidraw4 interface 1: no descriptor (descriptor unreadable)"));
  EXPECT_TRUE(traces.contains("roles: feature none, report none, readers none"));
  EXPECT_TRUE(traces.contains("no node declares the feature reports; the feature channel stays closed"));
  EXPECT_EQ(hid.open_handles(), 0);
}

TEST_F(HidDriverTest, TheMonitorReportsOneArrivalAndOneRemovalPerDevice) {
  open_monitor(1555, 1556);

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
  open_monitor(1555, 1556);
  hid.hotplug(HotplugEvent::kAdd, "/dev/hidraw4", kMouseDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw3", kMouseKeyboardDevpath);
  hid.hotplug(HotplugEvent::kRemove, "/dev/hidraw4", kMouseDevpath);
  ASSERT_TRUE(poster.wait_for(1));
  driver.close_monitor();
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1556, 0, 0}}));
}

TEST_F(HidDriverTest, TheReportChannelWritesFramesAndItsEventsAreRead) {
  driver.set_vidpid(0x1D57, 0xFA65);
  hid.add_interface("/dev/hidraw8", 0x1D57, 0xFA65, 0, built::boot_mouse());
  hid.add_interface("/dev/hidraw9", 0x1D57, 0xFA65, 1, built::report_channel());
  open_monitor(1557, 1558);
  unsigned char frame[65] = {0x04, 0x14, 0x00, 0x05};
  EXPECT_EQ(driver.write_report(frame, 65), 0);
  EXPECT_EQ(driver.open_feature(), 0);  // the receiver takes no feature reports
  ASSERT_EQ(driver.open_report(), 1);
  EXPECT_EQ(driver.write_report(frame, 65), 65);
  ASSERT_EQ(hid.writes().size(), 1u);
  EXPECT_EQ(hid.writes()[0].bytes, Bytes(frame, frame + 65));
  EXPECT_EQ(hid.malformed_transfers(), 0);

  unsigned char in[65] = {};
  EXPECT_EQ(driver.read_report(in, 65), 0);  // nothing waiting: no block

  // Events come framed like the frames the program writes; the reader has a
  // handle of its own, so the report channel sees them as well.
  hid.input("/dev/hidraw9", padded({0x04, 0x09, 0x00, 0x09, 0x40, 0x00, 0x39, 0x00, 0x8F}, 65));
  ASSERT_TRUE(poster.wait_for(1));
  EXPECT_EQ(poster.messages(), (std::vector<PostedMessage>{{1557, 0x4009, 0x3900}}));
  EXPECT_EQ(driver.read_report(in, 65), 65);
  EXPECT_EQ(in[6], 0x39);

  // The readers stay while either channel is open.
  driver.close_feature();
  EXPECT_EQ(hid.open_handles(), 2);
  driver.close_report();
  EXPECT_EQ(driver.write_report(frame, 65), 0);
  EXPECT_EQ(hid.open_handles(), 0);
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
  EXPECT_EQ(hid.malformed_transfers(), 0);
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
