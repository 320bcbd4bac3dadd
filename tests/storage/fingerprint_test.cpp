#include "storage/fingerprint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/profile_record.h"

using namespace norvane;

namespace {

std::vector<uint8_t> little_endian(const Fingerprint& f) {
  std::vector<uint8_t> bytes;
  for (uint64_t half : {f.low, f.high})
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(half >> (8 * i)));
  return bytes;
}

}  // namespace

// The published check of the algorithm: keys {}, {0}, {0,1}, ... {0..254} hashed with
// seeds 256, 255, ... 1, their hashes hashed again with seed 0; the first four bytes
// of the result, little-endian, are 0x6384BA69. It covers every tail length and the
// block loop.
TEST(Fingerprint, MatchesTheAlgorithmsPublishedVerificationValue) {
  std::vector<uint8_t> key(256);
  std::vector<uint8_t> hashes;
  for (int i = 0; i < 256; ++i) {
    key[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    const auto bytes = std::as_bytes(std::span(key.data(), static_cast<size_t>(i)));
    const auto h = little_endian(fingerprint_of(bytes, static_cast<uint64_t>(256 - i)));
    hashes.insert(hashes.end(), h.begin(), h.end());
  }
  const auto final_hash = little_endian(fingerprint_of(std::as_bytes(std::span(hashes))));
  const uint32_t verification = static_cast<uint32_t>(final_hash[0]) | static_cast<uint32_t>(final_hash[1]) << 8 |
                                static_cast<uint32_t>(final_hash[2]) << 16 | static_cast<uint32_t>(final_hash[3]) << 24;
  EXPECT_EQ(verification, 0x6384BA69u);
}

TEST(Fingerprint, OneBitAnywhereInAProfileChangesIt) {
  auto record = std::make_unique<ProfileRecord>();
  const Fingerprint blank = fingerprint_of_record(*record);
  auto* bytes = reinterpret_cast<uint8_t*>(record.get());
  for (size_t at : {size_t{0}, size_t{9}, sizeof(ProfileRecord) / 2, sizeof(ProfileRecord) - 1}) {
    SCOPED_TRACE(at);
    bytes[at] ^= 1;
    EXPECT_NE(fingerprint_of_record(*record), blank);
    bytes[at] ^= 1;
    EXPECT_EQ(fingerprint_of_record(*record), blank);
  }
}
