#pragma once
// The library's trace lines go to the sink the program set with hooksettrace.

#include "input_capture/hook_abi.h"

namespace norvane::capture {

void set_trace_sink(nv_hooktrace_sink sink);
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace norvane::capture
