#pragma once
// The program's one trace function: printf-style lines such as "Wireless Send = %d".
// Lines go to a sink; the application installs one that writes to a Qt logging
// category, tests install one that records the lines. There is no log file.

#include <functional>
#include <string>

namespace norvane {

using TraceSink = std::function<void(const std::string& line)>;

// Formats and hands one line to the current sink. Safe from any thread.
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink and returns the previous one. An empty sink drops lines.
TraceSink set_trace_sink(TraceSink sink);

}  // namespace norvane
