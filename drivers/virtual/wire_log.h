#pragma once
// The virtual mouse's wire log: every frame to the mouse and every answer from
// it, with its link and time, most recent kMaxEntries kept. Not thread-safe on
// its own; the mouse guards it with its lock.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "drivers/virtual/virtual_mouse_control.h"

namespace norvane::vmouse {

class WireLog {
 public:
  static constexpr size_t kMaxEntries = 4096;

  void add(int64_t time_ms, int link, int direction, int outcome, int reject_reason,
           const uint8_t* bytes, int length);
  int count() const { return static_cast<int>(entries_.size()); }
  bool get(int index, VmWireEntry& out) const;
  void clear() { entries_.clear(); }

 private:
  std::deque<VmWireEntry> entries_;
  uint64_t next_sequence_ = 0;
};

}  // namespace norvane::vmouse
