#include "storage/fingerprint.h"

#include <bit>
#include <cstring>

namespace norvane {
namespace {

constexpr uint64_t kC1 = 0x87c37b91114253d5ULL;
constexpr uint64_t kC2 = 0x4cf5ad432745937fULL;

uint64_t load64(const std::byte* at) {
  uint64_t v;
  std::memcpy(&v, at, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

uint64_t final_mix(uint64_t k) {
  k ^= k >> 33;
  k *= 0xff51afd7ed558ccdULL;
  k ^= k >> 33;
  k *= 0xc4ceb9fe1a85ec53ULL;
  k ^= k >> 33;
  return k;
}

uint64_t mix_k1(uint64_t k1) { return std::rotl(k1 * kC1, 31) * kC2; }
uint64_t mix_k2(uint64_t k2) { return std::rotl(k2 * kC2, 33) * kC1; }

}  // namespace

Fingerprint fingerprint_of(std::span<const std::byte> bytes, uint64_t seed) {
  const std::byte* data = bytes.data();
  const size_t size = bytes.size();
  const size_t blocks = size / 16;
  uint64_t h1 = seed;
  uint64_t h2 = seed;

  for (size_t i = 0; i < blocks; ++i) {
    const uint64_t k1 = load64(data + i * 16);
    const uint64_t k2 = load64(data + i * 16 + 8);
    h1 ^= mix_k1(k1);
    h1 = std::rotl(h1, 27) + h2;
    h1 = h1 * 5 + 0x52dce729;
    h2 ^= mix_k2(k2);
    h2 = std::rotl(h2, 31) + h1;
    h2 = h2 * 5 + 0x38495ab5;
  }

  // The last 1..15 bytes, little-endian, as the reference algorithm reads them.
  const std::byte* tail = data + blocks * 16;
  const size_t left = size & 15;
  uint64_t k1 = 0;
  uint64_t k2 = 0;
  for (size_t i = left; i > 8; --i) k2 = (k2 << 8) | static_cast<uint64_t>(tail[i - 1]);
  for (size_t i = left < 8 ? left : 8; i > 0; --i) k1 = (k1 << 8) | static_cast<uint64_t>(tail[i - 1]);
  if (left > 8) h2 ^= mix_k2(k2);
  if (left > 0) h1 ^= mix_k1(k1);

  h1 ^= size;
  h2 ^= size;
  h1 += h2;
  h2 += h1;
  h1 = final_mix(h1);
  h2 = final_mix(h2);
  h1 += h2;
  h2 += h1;
  return Fingerprint{h1, h2};
}

}  // namespace norvane
