#pragma once
// A 128-bit fingerprint of a byte image, for telling whether a record still holds
// the bytes it held before without keeping a copy of them. MurmurHash3 x64_128
// (Austin Appleby's public-domain algorithm): two records of the same size that
// differ in a single 16-byte block never share a fingerprint, and any other two
// share one with a chance of about 2^-128.

#include <cstddef>
#include <cstdint>
#include <span>

namespace norvane {

struct Fingerprint {
  uint64_t low = 0;
  uint64_t high = 0;
  bool operator==(const Fingerprint&) const = default;
};

// `seed` starts the hash elsewhere; every fingerprint the stores keep uses 0.
Fingerprint fingerprint_of(std::span<const std::byte> bytes, uint64_t seed = 0);

// The fingerprint of a plain record's whole byte image.
template <typename Record>
Fingerprint fingerprint_of_record(const Record& record) {
  return fingerprint_of(std::as_bytes(std::span<const Record, 1>(&record, 1)));
}

}  // namespace norvane
