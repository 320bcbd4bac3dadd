#include "core/trace.h"

#include <cstdarg>
#include <cstdio>
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
  if (current_sink()) current_sink()(line);
}

TraceSink set_trace_sink(TraceSink sink) {
  std::lock_guard<std::mutex> lock(sink_mutex());
  TraceSink previous = std::move(current_sink());
  current_sink() = std::move(sink);
  return previous;
}

}  // namespace norvane
