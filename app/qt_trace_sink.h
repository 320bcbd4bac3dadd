#pragma once
// Sends the program's trace lines (app/trace.h) to the Qt logging category
// "norvane.trace" (enable with QT_LOGGING_RULES="norvane.trace.debug=true").

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcNorvaneTrace)

namespace norvane {

void install_qt_trace_sink();

}  // namespace norvane
