#pragma once
// The mouse's USB interfaces on each library link as the host's hidraw sees
// them: the interface number, the report descriptor the device sends, and the
// reports that descriptor declares (kept beside the bytes, as the firmware's
// own tables would be). A double of hidapi serves these nodes; the mouse checks
// every transfer against them and sends its events as the input reports they
// declare.
//
// The layout is the guess we build against until a real mouse is seen:
//   cable        0 plain mouse; 1 keyboard (ID 1) and the vendor collection
//                (page 0xFF02): feature reports 0x04, 0x05, 0x06, 0x08, 0x09,
//                0x0C of 63 data bytes, event input report 0x09 of 7 bytes
//   2.4 GHz      0 plain mouse; 1 the vendor feature reports without input;
//                2 a vendor collection (page 0xFF01) sending event reports 0x09
//   8 kHz        0 plain mouse; 1 a vendor collection (page 0xFF00) with output
//                and input report 0x04 of 64 data bytes: frames out, framed
//                events in

#include <cstddef>
#include <cstdint>
#include <span>

namespace norvane::vmouse {

enum class HidKind : uint8_t { input, output, feature };

struct HidReportDecl {
  HidKind kind;
  uint8_t id;      // 0 when the interface numbers none of its reports
  uint16_t bytes;  // data bytes, the ID byte not counted
};

struct HidInterfaceLayout {
  int number;
  std::span<const uint8_t> descriptor;
  std::span<const HidReportDecl> reports;
};

// The interfaces of library link `link` (cable, 2.4 GHz, 8 kHz); empty for others.
std::span<const HidInterfaceLayout> hid_layout(int link);

// The report of `kind` and `id` that interface `index` of `link` declares, or nullptr.
const HidReportDecl* declared_report(int link, int index, HidKind kind, uint8_t id);

// An event report (0x09, class, value, value) as the input report `link` sends
// it: the interface index it comes on and the bytes hidraw reads (report ID
// first). Returns the length written into `out` (at most 65), or 0.
int event_input_report(int link, const uint8_t event[4], int& index, uint8_t out[65]);

}  // namespace norvane::vmouse
