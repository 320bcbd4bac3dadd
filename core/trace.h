#pragma once
// The program's one trace function: printf-style lines such as "Wireless Send = %d".
// Lines go to a sink; the application installs one that writes to a Qt logging
// category, tests install one that records the lines. There is no log file, but the
// last lines are kept in memory for the diagnostic dump.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace norvane {

using TraceSink = std::function<void(const std::string& line)>;

// Formats and hands one line to the current sink. Safe from any thread.
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink and returns the previous one. An empty sink drops lines.
TraceSink set_trace_sink(TraceSink sink);

// How many of the latest lines are kept, whatever the sink.
inline constexpr size_t kTraceLinesKept = 50;

// The latest lines traced (at most kTraceLinesKept), oldest first, each without
// its line end. Safe from any thread.
std::vector<std::string> recent_trace_lines();

}  // namespace norvane
