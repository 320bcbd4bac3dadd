#pragma once
// The 16-bit byte sum that protects reports and link frames.

#include <cstddef>
#include <cstdint>
#include <span>

namespace norvane {

// Sum, modulo 65,536, of bytes [first, last] of `bytes` (inclusive; clipped to the buffer).
uint16_t report_sum(std::span<const uint8_t> bytes, size_t first, size_t last);

// Stores `sum` high byte first at `at` and `at` + 1 (nothing when that falls outside).
void put_sum_high_first(std::span<uint8_t> bytes, size_t at, uint16_t sum);

}  // namespace norvane
