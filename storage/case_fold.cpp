#include "storage/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace norvane {
namespace {

// Code points first..last (every `stride`-th one) fold to themselves plus `delta`.
struct FoldRange {
  uint16_t first;
  uint16_t last;
  int32_t delta;
  uint8_t stride;
};

constexpr FoldRange kFoldRanges[] = {
#include "storage/case_fold_table.inc"
};

}  // namespace

char16_t fold_case(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 32) : unit;
  // The last range whose first code point is not above `unit`.
  const auto* it = std::upper_bound(std::begin(kFoldRanges), std::end(kFoldRanges), unit,
                                    [](char16_t u, const FoldRange& r) { return u < r.first; });
  if (it == std::begin(kFoldRanges)) return unit;
  const FoldRange& r = *(it - 1);
  if (unit > r.last || (unit - r.first) % r.stride != 0) return unit;
  return static_cast<char16_t>(unit + r.delta);
}

bool equal_ignoring_case(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return fold_case(x) == fold_case(y); });
}

}  // namespace norvane
