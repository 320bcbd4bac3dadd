#include "protocol/dirty_sections.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/profile_defaults.h"

namespace norvane {
namespace {

// The section each byte of the settings part is compared for, by raw offset, written
// independently of the settings table: "" for bytes no section compares.
std::string section_at(size_t i) {
  auto in = [i](size_t first, size_t end) { return i >= first && i < end; };
  if (in(2224, 2236) || in(2244, 2340) || in(2352, 2356) || in(2368, 2380) || in(2408, 2440)) return "dpi";
  if (in(2340, 2352) || in(2380, 2392) || in(2396, 2400) || in(2404, 2408)) return "light";
  if (in(2356, 2364)) return "rate";
  if (in(2400, 2404)) return "wakeup";
  return "";
}

std::string dirty_sections(const DirtyFlags& f) {
  std::string s;
  if (f.dpi) s += "dpi";
  if (f.light) s += "light";
  if (f.rate) s += "rate";
  if (f.wakeup) s += "wakeup";
  if (f.buttons) s += "buttons";
  return s;
}

TEST(DirtySections, EachByteOfTheSettingsMarksItsOwnSectionOnly) {
  auto applied = std::make_unique<ProfileRecord>();
  std::memset(applied.get(), 0, sizeof *applied);
  reset_profile_defaults(*applied);
  auto current = std::make_unique<ProfileRecord>(*applied);
  auto* bytes = reinterpret_cast<unsigned char*>(current.get());
  for (size_t i = 0; i < offsetof(ProfileRecord, buttons); ++i) {
    bytes[i] ^= 0x80;
    ASSERT_EQ(dirty_sections(compare_sections(*current, *applied)), section_at(i)) << "byte " << i;
    bytes[i] ^= 0x80;
  }
  EXPECT_EQ(dirty_sections(compare_sections(*current, *applied)), "");
}

}  // namespace
}  // namespace norvane
