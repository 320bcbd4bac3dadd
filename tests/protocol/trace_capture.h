#pragma once
// Collects trace lines for the lifetime of the object.

#include <string>
#include <vector>

#include "core/trace.h"

namespace norvane::test {

class TraceCapture {
 public:
  TraceCapture() {
    previous_ = set_trace_sink([this](const std::string& line) { lines.push_back(line); });
  }
  ~TraceCapture() { set_trace_sink(std::move(previous_)); }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::vector<std::string> lines;

 private:
  TraceSink previous_;
};

}  // namespace norvane::test
