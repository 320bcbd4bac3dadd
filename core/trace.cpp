#include "core/trace.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

namespace norvane {
namespace {

std::mutex& sink_mutex() {
  static std::mutex m;
  return m;
}

TraceSink& current_sink() {
  static TraceSink sink;
  return sink;
}

// The latest lines, under sink_mutex().
std::deque<std::string>& kept_lines() {
  static std::deque<std::string> lines;
  return lines;
}

void keep(const std::string& line) {
  std::string text = line;
  // Trace formats carry Windows line ends; one line may hold several.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::deque<std::string>& lines = kept_lines();
  lines.push_back(std::move(text));
  while (lines.size() > kTraceLinesKept) lines.pop_front();
}

}  // namespace

void trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string line;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    line.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);

  std::lock_guard<std::mutex> lock(sink_mutex());
  keep(line);
  if (current_sink()) current_sink()(line);
}

std::vector<std::string> recent_trace_lines() {
  std::lock_guard<std::mutex> lock(sink_mutex());
  return {kept_lines().begin(), kept_lines().end()};
}

TraceSink set_trace_sink(TraceSink sink) {
  std::lock_guard<std::mutex> lock(sink_mutex());
  TraceSink previous = std::move(current_sink());
  current_sink() = std::move(sink);
  return previous;
}

}  // namespace norvane
