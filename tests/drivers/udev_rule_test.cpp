// The udev rule that lets the logged-in user open the mouse's hidraw nodes must name
// exactly the cable and the two receivers the driver libraries open.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "drivers/mouse_ids.h"

namespace norvane {
namespace {

std::set<std::pair<int, int>> granted_devices(const std::string& path) {
  std::ifstream rules(path);
  EXPECT_TRUE(rules) << path;
  const std::regex entry(R"re(KERNEL=="hidraw\*",\s*ATTRS\{idVendor\}=="([0-9a-f]{4})",\s*)re"
                         R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})",\s*TAG\+="uaccess")re");
  std::set<std::pair<int, int>> granted;
  for (std::string line; std::getline(rules, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::smatch m;
    EXPECT_TRUE(std::regex_match(line, m, entry)) << "unexpected rule line: " << line;
    if (m.size() == 3) granted.insert({std::stoi(m[1], nullptr, 16), std::stoi(m[2], nullptr, 16)});
  }
  return granted;
}

TEST(UdevRule, GrantsExactlyTheCableAndTheReceivers) {
  using namespace mouse_ids;
  const std::set<std::pair<int, int>> expected{
      {kUsbVendor, kCableProduct}, {kUsbVendor, kReceiverProduct}, {kUsbVendor, kReceiver8kProduct}};
  EXPECT_EQ(granted_devices(NORVANE_UDEV_RULE), expected);
}

}  // namespace
}  // namespace norvane
