// The main window's fold of the library messages, and reading udev's HID notices.

#include <gtest/gtest.h>

#include "device/device_change.h"
#include "device/hid_device_monitor.h"
#include "device/library_message.h"

namespace norvane {
namespace {

TEST(FoldLibraryMessage, EventsCarryTheFourReportBytes) {
  // Bytes 09 40 00 39 on the 2.4 GHz link; stray high bits of the parameters are dropped.
  auto folded = fold_library_message(UM_WIRELESS_EVENT, 0xABCD4009u, static_cast<intptr_t>(0x77773900));
  ASSERT_TRUE(folded);
  EXPECT_EQ(folded->link, LibraryLink::wireless);
  EXPECT_EQ(folded->value, 0x40093900u);

  folded = fold_library_message(UM_WIRED_EVENT, 0x1009, -1);
  EXPECT_EQ(folded->link, LibraryLink::wired);
  EXPECT_EQ(folded->value, 0x1009FFFFu);
  EXPECT_EQ(fold_library_message(UM_WIRELESS_8K_EVENT, 0x2009, 0x32)->link, LibraryLink::wireless_8k);
}

TEST(FoldLibraryMessage, LinkMessagesMarkArrivalAndRemoval) {
  EXPECT_EQ(fold_library_message(UM_WIRED_LINK, 1, 0)->value, 0x7F000001u);
  EXPECT_EQ(fold_library_message(UM_WIRELESS_LINK, 0, 0)->value, 0x7F000002u);
  EXPECT_EQ(fold_library_message(UM_WIRELESS_8K_LINK, 2, 0)->value, 0x7F000000u);
  EXPECT_EQ(fold_library_message(UM_WIRELESS_8K_LINK, 1, 0)->link, LibraryLink::wireless_8k);
  EXPECT_FALSE(fold_library_message(UM_REQUEST_APPLY, 1, 0));
  EXPECT_FALSE(fold_library_message(UM_APPLY_THREAD, 1, 0));
}

TEST(ParseUdevHidId, ReadsBusVendorAndProduct) {
  auto id = parse_udev_hid_id("0005:0000045E:00000009");
  ASSERT_TRUE(id);
  EXPECT_TRUE(is_ble_mouse(*id));
  id = parse_udev_hid_id("0005:0000045e:00000009");
  ASSERT_TRUE(id);
  EXPECT_TRUE(is_ble_mouse(*id));
  EXPECT_FALSE(is_ble_mouse(*parse_udev_hid_id("0003:0000045E:00000009")));
  EXPECT_FALSE(is_ble_mouse(*parse_udev_hid_id("0005:00001D57:00000009")));

  for (const char* bad : {"", "0005:0000045E", "0005::00000009", "0005:0001045E:00000009", "0005:045E:0009:1",
                          "0005:-045E:0009", "0005:0x45E:0009", "0005:0000045E:00000009 "})
    EXPECT_FALSE(parse_udev_hid_id(bad)) << bad;
}

TEST(DeviceChangeFromUdev, ActionsAndIdentity) {
  DeviceChange change = device_change_from_udev("add", "0005:0000045E:00000009", "/devices/x");
  EXPECT_EQ(change.kind, DeviceChangeKind::arrival);
  ASSERT_TRUE(change.hid);
  EXPECT_TRUE(is_ble_mouse(*change.hid));
  EXPECT_EQ(change.name, "/devices/x");
  EXPECT_EQ(device_change_from_udev("remove", "0005:0000045E:00000009", "").kind, DeviceChangeKind::removal);
  EXPECT_EQ(device_change_from_udev("bind", "0005:0000045E:00000009", "").kind, DeviceChangeKind::nodes_changed);
  EXPECT_FALSE(device_change_from_udev("add", "", "").hid);
}

}  // namespace
}  // namespace norvane
