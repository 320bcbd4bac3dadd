// The key table against the rows of the key list as they are written there: groups of
// virtual keys with their usages and scan codes, expanded here on their own.

#include "macros/key_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <vector>

using namespace norvane;

namespace {

std::vector<uint32_t> hex_list(const char* text) {
  std::vector<uint32_t> out;
  std::istringstream in(text);
  std::string word;
  while (in >> word) out.push_back(static_cast<uint32_t>(std::stoul(word, nullptr, 16)));
  return out;
}

// Appends one row per virtual key. A single usage or scan code counts up along the
// group; a list gives one per key; no scan codes means 0.
void add_group(std::vector<KeyTableEntry>& rows, const char* virtual_keys, const char* usages, const char* scans) {
  const std::vector<uint32_t> vks = hex_list(virtual_keys);
  const std::vector<uint32_t> us = hex_list(usages);
  const std::vector<uint32_t> sc = hex_list(scans);
  for (size_t i = 0; i < vks.size(); ++i) {
    rows.push_back({vks[i], us.size() == 1 ? us[0] + static_cast<uint32_t>(i) : us.at(i),
                    sc.empty() ? 0 : sc.size() == 1 ? sc[0] + static_cast<uint32_t>(i) : sc.at(i)});
  }
}

std::vector<KeyTableEntry> listed_rows() {
  std::vector<KeyTableEntry> rows;
  add_group(rows, "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 57 58 59 5A", "04",
            "1E 30 2E 20 12 21 22 23 17 24 25 26 32 31 18 19 10 13 1F 14 16 2F 11 2D 15 2C");
  add_group(rows, "31 32 33 34 35 36 37 38 39 30", "1E", "02");
  add_group(rows, "0D", "28", "1C");
  add_group(rows, "1B", "29", "01");
  add_group(rows, "08", "2A", "0E");
  add_group(rows, "09", "2B", "0F");
  add_group(rows, "20", "2C", "39");
  add_group(rows, "BD BB DB DD DC", "2D 2E 2F 30 31", "0C 0D 1A 1B 2B");
  add_group(rows, "BA DE C0 BC BE BF DF", "33 34 35 36 37 38 38", "27 28 29 33 34 35 35");
  add_group(rows, "14", "39", "3A");
  add_group(rows, "70 71 72 73 74 75 76 77 78 79 7A 7B", "3A", "3B 3C 3D 3E 3F 40 41 42 43 44 57 58");
  add_group(rows, "2C 91 13 2D 24 21 2E 23 22 27 25 28 26", "46", "");
  add_group(rows, "90", "53", "");
  add_group(rows, "6F 6A 6D 6B 6C", "54", "");
  add_group(rows, "61 62 63 64 65 67 66 68 69 60 6E", "59 5A 5B 5C 5D 5F 5E 60 61 62 63", "");
  add_group(rows, "5D", "65", "");
  add_group(rows, "A2 A0 A4 5B A3 A1 A5 5C", "E0", "");
  add_group(rows, "F0 F1 F2 F3 F4 F7 F8", "F0 F1 F2 F3 F4 F7 F8", "");
  return rows;
}

TEST(KeyTable, MatchesTheListedRowsInOrder) {
  const std::vector<KeyTableEntry> expected = listed_rows();
  ASSERT_EQ(expected.size(), 112u);
  ASSERT_EQ(key_table().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const KeyTableEntry& row = key_table()[i];
    EXPECT_EQ(row.virtual_key, expected[i].virtual_key) << "row " << i;
    EXPECT_EQ(row.usage, expected[i].usage) << "row " << i;
    EXPECT_EQ(row.scan_code, expected[i].scan_code) << "row " << i;
  }
}

TEST(KeyTable, FirstMatchWins) {
  // OEM 8 shares usage and scan code with '/': lookups find the '/' row first.
  EXPECT_EQ(find_key_by_usage(0x38)->virtual_key, 0xBFu);
  EXPECT_EQ(find_key_by_scan_code(0x35)->virtual_key, 0xBFu);
  // Keys without a scan code: the first of them is Print Screen.
  EXPECT_EQ(find_key_by_scan_code(0)->virtual_key, 0x2Cu);
  EXPECT_EQ(find_key_by_virtual_key(0x10), nullptr);
  EXPECT_EQ(find_key_by_usage(0x32), nullptr);
}

}  // namespace
