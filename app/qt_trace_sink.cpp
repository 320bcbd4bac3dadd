#include "app/qt_trace_sink.h"

#include <QString>

#include "core/trace.h"

Q_LOGGING_CATEGORY(lcNorvaneTrace, "norvane.trace")

namespace norvane {

void install_qt_trace_sink() {
  set_trace_sink([](const std::string& line) {
    // Trace formats carry Windows line ends; the logging category adds its own.
    QString text = QString::fromStdString(line);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    qCDebug(lcNorvaneTrace).noquote() << text;
  });
}

}  // namespace norvane
