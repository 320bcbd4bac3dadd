#pragma once
// Start-up measurement: when the environment variable NORVANE_REPORT_STARTUP is set,
// the line "norvane-startup: first-paint" goes to standard error once the main window
// has been painted for the first time, so a script can time the start-up from the
// outside (bench/startup). Without the variable nothing is installed.

class QWidget;

namespace norvane {

inline constexpr char kStartupReportVariable[] = "NORVANE_REPORT_STARTUP";
inline constexpr char kFirstPaintLine[] = "norvane-startup: first-paint";

void report_first_paint_when_asked(QWidget* window);

}  // namespace norvane
