// The input-device back end skips what it cannot use, says so, and gives up when no
// keyboard or mouse is left.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "input_capture/capture_trace.h"
#include "input_capture/evdev_capture.h"

using namespace norvane::capture;

namespace {

std::vector<std::string> g_lines;
void collect(const char* line) { g_lines.emplace_back(line); }

class NoSink final : public InputSink {
 public:
  void deliver(const CapturedInput&) override { ++delivered; }
  int delivered = 0;
};

bool any_line_has(const std::string& a, const std::string& b) {
  for (const std::string& l : g_lines) {
    if (l.find(a) != std::string::npos && l.find(b) != std::string::npos) return true;
  }
  return false;
}

TEST(InputDevices, MissingUnreadableAndForeignNodesAreSkippedWithATraceLine) {
  char pattern[] = "/tmp/norvane-input-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path folder = pattern;
  std::ofstream(folder / "event0") << "not a device";
  std::filesystem::create_symlink(folder / "gone", folder / "event1");  // removed while listed
  std::ofstream(folder / "mouse0") << "not an event node";

  g_lines.clear();
  set_trace_sink(collect);
  NoSink sink;
  auto backend = make_evdev_capture(folder.string());
  EXPECT_FALSE(backend->start(sink));
  backend->stop();
  set_trace_sink(nullptr);

  EXPECT_TRUE(any_line_has((folder / "event0").string(), "not an input device"));
  EXPECT_TRUE(any_line_has((folder / "event1").string(), "No such file"));
  EXPECT_TRUE(any_line_has(folder.string(), "no readable keyboard or mouse"));
  EXPECT_FALSE(any_line_has("mouse0", ""));
  EXPECT_EQ(sink.delivered, 0);
  std::filesystem::remove_all(folder);
}

TEST(InputDevices, AFolderThatCannotBeListedIsNoCapture) {
  g_lines.clear();
  set_trace_sink(collect);
  NoSink sink;
  auto backend = make_evdev_capture("/nonexistent/input");
  EXPECT_FALSE(backend->start(sink));
  set_trace_sink(nullptr);
  EXPECT_TRUE(any_line_has("/nonexistent/input", "cannot be listed"));
}

}  // namespace
