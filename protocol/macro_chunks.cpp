#include "protocol/macro_chunks.h"

#include <algorithm>

#include "protocol/wire_reports.h"

namespace norvane {
namespace {

constexpr uint8_t kMoveMarker = 0xF6;
constexpr uint8_t kLongDelayMarker = 0x03;
constexpr uint8_t kLinkMarker = 0xFE;
constexpr uint8_t kReleaseBit = 0x80;
constexpr int kShortDelayMax = 127;
constexpr int kMinDelayByte = 2;

static_assert(kMacroEntryAreaLimit + 2 == sizeof(MacroChunkWire::entries), "room for the link entry");

}  // namespace

MacroEntry encode_macro_event(const MacroEvent& e) {
  const int d = e.delay;
  const bool long_delay = d > kShortDelayMax;
  const uint8_t t = low_byte(std::max(long_delay ? d % 100 : d, kMinDelayByte));
  const uint8_t q = low_byte(d / 100);

  MacroEntry entry;
  auto put = [&entry](uint8_t b) { entry.bytes[entry.length++] = b; };
  if (e.kind == kKindMove) {
    const uint32_t x = static_cast<uint32_t>(e.x);
    const uint32_t y = static_cast<uint32_t>(e.y);
    put(t);
    put(kMoveMarker);
    put(low_byte(x >> 8));
    put(low_byte(x));
    put(low_byte(y >> 8));
    put(low_byte(y));
  } else {
    put(e.kind == kKindPress ? t : static_cast<uint8_t>(t | kReleaseBit));
    put(e.code);
  }
  if (long_delay) {
    put(q);
    put(kLongDelayMarker);
  }
  return entry;
}

int macro_event_count(const ButtonSlot& slot) {
  return std::min<int>(slot.macro_event_count, kMaxMacroEvents);
}

int macro_chunk_count(const ButtonSlot& slot) {
  int chunks = 1;
  int position = 0;
  for (;;) {
    const MacroChunk chunk = build_macro_chunk(slot, position, 0);
    if (!chunk.more) return chunks;
    position = chunk.next_event;
    ++chunks;
  }
}

MacroChunk build_macro_chunk(const ButtonSlot& slot, int first_event, int block) {
  MacroChunkWire w{};
  w.head = wire_head<MacroChunkWire>(kCmdMacroChunk, low_byte(block));
  if (first_event == 0) {
    w.mode = low_byte(slot.macro_mode);
    std::copy(std::begin(slot.macro_header_extra), std::end(slot.macro_header_extra), w.header_extra);
    const uint8_t repeat = low_byte(slot.macro_repeat);
    w.repeat = repeat == 0 ? 1 : repeat;
  }

  MacroChunk chunk;
  const int count = macro_event_count(slot);
  size_t area = 0;
  int units = 0;
  for (int i = std::max(first_event, 0); i < count; ++i) {
    const MacroEntry entry = encode_macro_event(slot.macro_events[i]);
    if (area + entry.length > static_cast<size_t>(kMacroEntryAreaLimit) && i > first_event) {
      // The event goes to the next block; this chunk ends with a link to it.
      w.entries[area] = low_byte(block + 1);
      w.entries[area + 1] = kLinkMarker;
      units += 1;
      chunk.more = true;
      chunk.next_event = i;
      break;
    }
    std::copy_n(entry.bytes.begin(), entry.length, w.entries + area);
    area += entry.length;
    units += entry.units();
  }
  w.units = low_byte(units);
  seal(w);
  chunk.report = to_report(w);
  return chunk;
}

}  // namespace norvane
