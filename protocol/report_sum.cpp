#include "protocol/report_sum.h"

namespace norvane {

uint16_t report_sum(std::span<const uint8_t> bytes, size_t first, size_t last) {
  uint32_t sum = 0;
  for (size_t i = first; i <= last && i < bytes.size(); ++i) sum += bytes[i];
  return static_cast<uint16_t>(sum & 0xFFFF);
}

void put_sum_high_first(std::span<uint8_t> bytes, size_t at, uint16_t sum) {
  if (at + 1 >= bytes.size()) return;
  bytes[at] = static_cast<uint8_t>(sum >> 8);
  bytes[at + 1] = static_cast<uint8_t>(sum & 0xFF);
}

}  // namespace norvane
