#include "drivers/virtual/wire_log.h"

#include <algorithm>
#include <cstring>

namespace norvane::vmouse {

void WireLog::add(int64_t time_ms, int link, int direction, int outcome, int reject_reason,
                  const uint8_t* bytes, int length) {
  VmWireEntry entry{};
  entry.sequence = next_sequence_++;
  entry.time_ms = time_ms;
  entry.link = link;
  entry.direction = direction;
  entry.outcome = outcome;
  entry.reject_reason = reject_reason;
  entry.length = length;
  if (bytes != nullptr && length > 0) {
    std::memcpy(entry.bytes, bytes, static_cast<size_t>(std::min(length, VM_WIRE_BYTES)));
  }
  if (entries_.size() == kMaxEntries) entries_.pop_front();
  entries_.push_back(entry);
}

bool WireLog::get(int index, VmWireEntry& out) const {
  if (index < 0 || index >= count()) return false;
  out = entries_[static_cast<size_t>(index)];
  return true;
}

}  // namespace norvane::vmouse
