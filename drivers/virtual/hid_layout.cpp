#include "drivers/virtual/hid_layout.h"

#include <array>
#include <cstring>

#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::vmouse {

namespace {

// A plain mouse without report IDs: five buttons and padding, 16-bit X and Y,
// an 8-bit wheel (6 data bytes).
constexpr uint8_t kMouse[] = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,        // generic desktop, mouse, pointer
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01,        // buttons 1..5
    0x75, 0x01, 0x95, 0x05, 0x81, 0x02, 0x75, 0x03, 0x95, 0x01, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x16, 0x01, 0x80, 0x26, 0xFF, 0x7F,  // X, Y
    0x75, 0x10, 0x95, 0x02, 0x81, 0x06,
    0x09, 0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06,  // wheel
    0xC0, 0xC0,
};
constexpr HidReportDecl kMouseReports[] = {{HidKind::input, 0, 6}};

// The vendor feature reports, 63 data bytes each (report ID + 63 = 64 bytes).
#define VENDOR_FEATURES                                                                    \
  0x06, 0x02, 0xFF, 0x09, 0x01, 0xA1, 0x01,                   /* vendor page 0xFF02 */     \
      0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F,   /* 63 bytes of 0..255 */     \
      0x85, 0x04, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x05, 0x09, 0x01, 0xB1, 0x02,             \
      0x85, 0x06, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x08, 0x09, 0x01, 0xB1, 0x02,             \
      0x85, 0x09, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x0C, 0x09, 0x01, 0xB1, 0x02

// Keyboard (ID 1) and the vendor collection with its event input report 0x09.
constexpr uint8_t kCableVendor[] = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01,                    // keyboard, ID 1
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x75, 0x08, 0x95, 0x01, 0x81, 0x01,
    0x19, 0x00, 0x29, 0x65, 0x15, 0x00, 0x25, 0x65, 0x75, 0x08, 0x95, 0x06, 0x81, 0x00,
    0xC0,
    VENDOR_FEATURES,
    0x85, 0x09, 0x09, 0x02, 0x95, 0x07, 0x81, 0x02,                    // event report, 7 bytes
    0xC0,
};
constexpr HidReportDecl kCableVendorReports[] = {
    {HidKind::input, 0x01, 8},     {HidKind::feature, 0x04, 63}, {HidKind::feature, 0x05, 63},
    {HidKind::feature, 0x06, 63},  {HidKind::feature, 0x08, 63}, {HidKind::feature, 0x09, 63},
    {HidKind::feature, 0x0C, 63},  {HidKind::input, 0x09, 7},
};

// The receiver's vendor feature reports, without input.
constexpr uint8_t kReceiverVendor[] = {VENDOR_FEATURES, 0xC0};
constexpr HidReportDecl kReceiverVendorReports[] = {
    {HidKind::feature, 0x04, 63}, {HidKind::feature, 0x05, 63}, {HidKind::feature, 0x06, 63},
    {HidKind::feature, 0x08, 63}, {HidKind::feature, 0x09, 63}, {HidKind::feature, 0x0C, 63},
};

#undef VENDOR_FEATURES

// The receiver's event reports on an interface of their own (page 0xFF01).
constexpr uint8_t kReceiverEvents[] = {
    0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x09, 0x09, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x81, 0x02, 0xC0,
};
constexpr HidReportDecl kReceiverEventReports[] = {{HidKind::input, 0x09, 7}};

// The 8 kHz channel: output and input report 0x04 of 64 data bytes (page 0xFF00).
constexpr uint8_t kFrameChannel[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00,
    0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0x09, 0x02, 0x81, 0x02, 0xC0,
};
constexpr HidReportDecl kFrameChannelReports[] = {{HidKind::output, 0x04, 64}, {HidKind::input, 0x04, 64}};

constexpr HidInterfaceLayout kCable[] = {{0, kMouse, kMouseReports}, {1, kCableVendor, kCableVendorReports}};
constexpr HidInterfaceLayout kReceiver24[] = {
    {0, kMouse, kMouseReports}, {1, kReceiverVendor, kReceiverVendorReports}, {2, kReceiverEvents, kReceiverEventReports}};
constexpr HidInterfaceLayout kReceiver8k[] = {{0, kMouse, kMouseReports}, {1, kFrameChannel, kFrameChannelReports}};

constexpr uint8_t kEventId = 0x09;
constexpr uint8_t kFrameId = 0x04;
constexpr int kEventBytes = 4;
constexpr int kFrameOverhead = 5;  // 3 header bytes, 2 sum bytes

}  // namespace

std::span<const HidInterfaceLayout> hid_layout(int link) {
  switch (link) {
    case VM_LINK_CABLE: return kCable;
    case VM_LINK_24G: return kReceiver24;
    case VM_LINK_8K: return kReceiver8k;
    default: return {};
  }
}

const HidReportDecl* declared_report(int link, int index, HidKind kind, uint8_t id) {
  const auto layout = hid_layout(link);
  if (index < 0 || static_cast<size_t>(index) >= layout.size()) return nullptr;
  for (const HidReportDecl& report : layout[static_cast<size_t>(index)].reports) {
    if (report.kind == kind && report.id == id) return &report;
  }
  return nullptr;
}

int event_input_report(int link, const uint8_t event[4], int& index, uint8_t out[65]) {
  const auto layout = hid_layout(link);
  for (size_t i = 0; i < layout.size(); ++i) {
    for (const HidReportDecl& report : layout[i].reports) {
      if (report.kind != HidKind::input) continue;
      const int length = report.bytes + 1;
      if (report.id == kEventId) {
        // The event report itself, padded.
        std::memset(out, 0, static_cast<size_t>(length));
        std::memcpy(out, event, kEventBytes);
        index = static_cast<int>(i);
        return length;
      }
      if (report.id == kFrameId) {
        // Carried like the frames the program writes: 0x04, length, frame 0, the
        // event, the sum of everything before it high byte first.
        std::memset(out, 0, static_cast<size_t>(length));
        out[0] = kFrameId;
        out[1] = kEventBytes + kFrameOverhead;
        out[2] = 0;
        std::memcpy(out + 3, event, kEventBytes);
        uint16_t sum = 0;
        for (int b = 0; b < 3 + kEventBytes; ++b) sum = static_cast<uint16_t>(sum + out[b]);
        out[3 + kEventBytes] = static_cast<uint8_t>(sum >> 8);
        out[4 + kEventBytes] = static_cast<uint8_t>(sum & 0xFF);
        index = static_cast<int>(i);
        return length;
      }
    }
  }
  return 0;
}

}  // namespace norvane::vmouse
