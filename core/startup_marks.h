#pragma once
// Start-up marks: when the environment variable NORVANE_REPORT_STARTUP is set, each
// mark writes "norvane-startup: NAME at MS" to standard error, MS being the monotonic
// clock in milliseconds (the clock a measuring script reads when it launches the
// program), so a script can break the start-up into steps from the outside
// (bench/startup). Without the variable a mark costs one cached test.

namespace norvane {

inline constexpr char kStartupReportVariable[] = "NORVANE_REPORT_STARTUP";
inline constexpr char kStartupMarkPrefix[] = "norvane-startup: ";

bool startup_marks_wanted();
void startup_mark(const char* name);

}  // namespace norvane
