#include "input_capture/capture_trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace norvane::capture {
namespace {
std::atomic<nv_hooktrace_sink> g_sink{nullptr};
}

void set_trace_sink(nv_hooktrace_sink sink) { g_sink.store(sink); }

void trace(const char* format, ...) {
  const nv_hooktrace_sink sink = g_sink.load();
  if (sink == nullptr) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  sink(line);
}

}  // namespace norvane::capture
