// The diagnostic dump from a fake sysfs tree, a fake GATT client and the hidapi
// driver libraries over the double in front of the virtual mouse; and the trace's
// memory of its last lines, which the dump ends with.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/trace.h"
#include "device/diagnostics.h"
#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// A sysfs tree as the kernel lays it out for hidraw nodes: class/hidraw/<node>/device
// links to the HID device folder, which sits in its USB interface's folder.
class FakeSysfs {
 public:
  FakeSysfs() {
    root_ = fs::temp_directory_path() / ("norvane_sysfs_" + std::to_string(::getpid()) + "_" + std::to_string(++count_));
    fs::remove_all(root_);
    fs::create_directories(root_ / "class" / "hidraw");
  }
  ~FakeSysfs() { fs::remove_all(root_); }

  // A node of the HID device "BBBB:VVVV:PPPP.NNNN" on USB interface `interface_number`
  // (none when negative).
  void add_node(const std::string& node, const std::string& hid_folder, const std::string& hid_id,
                int interface_number, const std::vector<uint8_t>& descriptor) {
    const fs::path usb_interface = root_ / "devices" / ("usb-if-" + node);
    const fs::path hid = usb_interface / hid_folder;
    fs::create_directories(hid);
    if (interface_number >= 0) {
      char number[8];
      std::snprintf(number, sizeof number, "%02x\n", interface_number);
      write(usb_interface / "bInterfaceNumber", number);
    }
    write(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + hid_id + "\nHID_NAME=Test " + node + "\n");
    write(hid / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
    fs::create_directories(root_ / "class" / "hidraw" / node);
    fs::create_directory_symlink(fs::relative(hid, root_ / "class" / "hidraw" / node),
                                 root_ / "class" / "hidraw" / node / "device");
  }
  void write_rule(const std::string& name, const std::string& text) {
    fs::create_directories(root_ / "rules.d");
    write(root_ / "rules.d" / name, text);
  }
  std::string path(const std::string& below) const { return (root_ / below).string(); }

 private:
  static void write(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  static inline int count_ = 0;
  fs::path root_;
};

std::vector<uint8_t> vm_descriptor(int link, int index) {
  std::vector<uint8_t> bytes(4096);
  const int length = vm_hid_report_descriptor(link, index, bytes.data(), static_cast<int>(bytes.size()));
  bytes.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return bytes;
}

class FakeGatt final : public BleGatt {
 public:
  GattCallResult read_objects(GattObjects& out) override {
    out = objects;
    return {GattCallStatus::kOk, {}};
  }
  GattCallResult write_value(const std::string&, const std::vector<uint8_t>&, GattWriteType) override { return {}; }
  GattCallResult start_notify(const std::string&) override { return {}; }
  GattCallResult stop_notify(const std::string&) override { return {}; }
  bool watch(const std::string&, GattPropertyHandler) override { return false; }
  void unwatch(const std::string&) override {}
  GattObjects objects;
};

std::string before_trace(const std::string& text) { return text.substr(0, text.find("== last trace lines ==")); }

class DiagnosticsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm_set_realtime(0);
    vm_set_battery_period(0);
    vm_set_links(0);
    vm_reset();
  }
  void TearDown() override { vm_set_links(0); }
};

TEST_F(DiagnosticsTest, AMachineWithTheCableDeniedAReceiverAndTheMouseOnBluetooth) {
  FakeSysfs sysfs;
  sysfs.add_node("hidraw3", "0003:1D57:2127.0003", "0003:00001D57:00002127", 0, vm_descriptor(VM_LINK_CABLE, 0));
  sysfs.add_node("hidraw4", "0003:1D57:2127.0004", "0003:00001D57:00002127", 1, vm_descriptor(VM_LINK_CABLE, 1));
  sysfs.add_node("hidraw17", "0003:046D:C52B.0011", "0003:0000046D:0000C52B", 0, {0x05, 0x01});
  sysfs.add_node("hidraw21", "0005:045E:0009.0015", "0005:0000045E:00000009", -1, {0x05, 0x01, 0x09});
  sysfs.write_rule("70-norvane-mouse.rules", "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"1d57\", TAG+=\"uaccess\"\n");
  sysfs.write_rule("99-other.rules", "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"046d\"\n");

  FakeGatt gatt;
  const std::string dev = "/org/bluez/hci0/dev_AA";
  gatt.objects.devices.push_back({dev, "AA:BB:CC:DD:EE:01", "usb:v045Ep0009d0001", true, true});
  gatt.objects.services.push_back({dev + "/service0008", dev, "0000180a-0000-1000-8000-00805f9b34fb", true});
  gatt.objects.services.push_back({dev + "/service000c", dev, "0000fee0-0000-1000-8000-00805f9b34fb", true});
  gatt.objects.characteristics.push_back(
      {dev + "/service000c/char000d", dev + "/service000c", "0000fee3-0000-1000-8000-00805f9b34fb", {"write"}});
  gatt.objects.characteristics.push_back(
      {dev + "/service000c/char000f", dev + "/service000c", "0000fee4-0000-1000-8000-00805f9b34fb", {"notify"}});

  vm_plug(VM_LINK_CABLE);
  vm_plug(VM_LINK_24G);
  vm_fault_refuse_open(VM_LINK_24G, EACCES);

  DiagnosticsSources sources;
  sources.program_version = "1.2.3";
  sources.hidapi_version = "0.13.1";
  sources.qt_version = "6.4.2";
  sources.hidraw.sysfs_root = sysfs.path("");
  sources.hidraw.dev_root = "/dev";
  sources.hidraw.open_error = [](const std::string& devnode) { return devnode == "/dev/hidraw4" ? EACCES : 0; };
  sources.udev_rule_folders = {sysfs.path("rules.d"), sysfs.path("missing.d")};
  sources.bluez = &gatt;
  sources.driver_folder = HIDAPI_DOUBLE_DRIVER_DIR;
  sources.ble_present = [] { return false; };

  const std::string text = gather_diagnostics(sources);
  EXPECT_THAT(text, ::testing::StartsWith("Norvane diagnostics\nprogram 1.2.3\nhidapi 0.13.1\nQt 6.4.2\n"));

  // The mouse's nodes in number order, another maker's left out.
  EXPECT_THAT(text, HasSubstr("\n== hidraw nodes of the mouse and its receivers ==\n"
                              "/dev/hidraw3 (cable, 1d57:2127)\n"
                              "  interface: 0\n"
                              "  opens: yes\n"
                              "  uevent: DRIVER=hid-generic\n"
                              "  uevent: HID_ID=0003:00001D57:00002127\n"
                              "  uevent: HID_NAME=Test hidraw3\n"
                              "  report descriptor (64 bytes):\n"
                              "    05 01 09 02 a1 01 09 01 a1 00 05 09 19 01 29 05 15 00 25 01 75 01 95 05 81 02 75 03 95 01 81 01\n"));
  EXPECT_THAT(text, HasSubstr("  reports: input 00:6\n/dev/hidraw4 (cable, 1d57:2127)\n  interface: 1\n"
                              "  opens: no (Permission denied)\n"));
  EXPECT_THAT(text, HasSubstr("  reports: input 01:8 09:7 feature 04:63 05:63 06:63 08:63 09:63 0C:63\n"));
  EXPECT_THAT(text, HasSubstr("/dev/hidraw21 (Bluetooth LE, 045e:0009)\n  interface: none\n"));
  EXPECT_THAT(text, HasSubstr("  reports: malformed (truncated item at byte 2)\n"));
  EXPECT_THAT(text, Not(HasSubstr("hidraw17")));

  EXPECT_THAT(text, HasSubstr("\n== nodes chosen for each role ==\n"
                              "cable: feature /dev/hidraw4, report none, readers /dev/hidraw4\n"
                              "2.4 GHz receiver: no node\n"
                              "8 kHz receiver: no node\n"));
  EXPECT_THAT(text, HasSubstr("\n== udev rule ==\n" + sysfs.path("rules.d/70-norvane-mouse.rules") + "\n\n"));

  EXPECT_THAT(text, HasSubstr("\n== Bluetooth devices (BlueZ) ==\n" + dev +
                              " AA:BB:CC:DD:EE:01 modalias usb:v045Ep0009d0001 connected, services resolved (the mouse)\n"
                              "  " + dev + "/service0008 180a: no characteristics\n"
                              "  " + dev + "/service000c fee0: fee3 (write) fee4 (notify)\n"
                              "  service taken: " + dev + "/service000c\n"));

  // Each link opened once through its driver library (the double's nodes are
  // /dev/hidraw1 and up, apart from the fake sysfs tree's).
  EXPECT_THAT(text, HasSubstr("\n== links ==\n"
                              "cable (hiddriver_2.so): present\n"
                              "2.4 GHz receiver (hiddriver_1.so): there, but cannot be opened: Permission denied\n"
                              "8 kHz receiver (hiddriver_8k.so): absent\n"
                              "Bluetooth LE: absent\n"));
  // ... whose choice of nodes is among the last trace lines.
  EXPECT_THAT(text, HasSubstr("\n== last trace lines ==\n"));
  EXPECT_THAT(text, HasSubstr("hidapi 1d57:2127: roles: feature /dev/hidraw2, report none, readers /dev/hidraw2\n"));
  EXPECT_THAT(text, HasSubstr("hidapi 1d57:fa60: cannot open /dev/hidraw6 for the feature channel: Permission denied\n"));

  // Stable: the same machine gives the same text.
  EXPECT_EQ(before_trace(gather_diagnostics(sources)), before_trace(text));
}

TEST_F(DiagnosticsTest, AMachineWithNothingSaysSo) {
  FakeSysfs sysfs;
  DiagnosticsSources sources;
  sources.hidraw.sysfs_root = sysfs.path("no-such-folder");
  sources.udev_rule_folders = {sysfs.path("rules.d")};
  sources.bluez_error = "no system bus";
  const std::string text = gather_diagnostics(sources);
  EXPECT_THAT(text, HasSubstr("== hidraw nodes of the mouse and its receivers ==\nnone\n"));
  EXPECT_THAT(text, HasSubstr("cable: no node\n"));
  EXPECT_THAT(text, HasSubstr("none found in " + sysfs.path("rules.d") + "\n"));
  EXPECT_THAT(text, HasSubstr("BlueZ not reachable: no system bus\n"));
  EXPECT_THAT(text, HasSubstr("== links ==\n\n== last trace lines ==\n"));
}

TEST(TraceMemory, KeepsTheLastLinesWithoutTheirLineEnds) {
  const TraceSink previous = set_trace_sink(nullptr);
  for (int i = 0; i < 60; ++i) trace("line %d\r\n", i);
  set_trace_sink(previous);
  const std::vector<std::string> lines = recent_trace_lines();
  ASSERT_EQ(lines.size(), kTraceLinesKept);
  EXPECT_EQ(lines.front(), "line 10");
  EXPECT_EQ(lines.back(), "line 59");
}

}  // namespace
}  // namespace norvane
