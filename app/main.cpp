// The program's entry point: one instance per user, the skin folder, the main window,
// the message loop, and shut-down in order. `norvane --diagnose` instead prints what a
// problem report needs and exits; `norvane COMMAND ...` runs one command of the command
// line (app/cli/) and exits.

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/cli/cli_session.h"
#include "app/folders.h"
#include "app/program_page.h"
#include "app/main_window.h"
#include "app/qt_trace_sink.h"
#include "app/second_start.h"
#include "app/single_instance.h"
#include "app/toolkit/resources.h"
#include "core/startup_marks.h"
#include "core/trace.h"
#include "device/diagnostics_system.h"
#include "settings/ms1_page.h"

namespace {

// The length of the command line as one string (program and arguments joined by
// spaces). The window starts only without arguments (see app/cli/); the number only goes
// to the trace.
int command_line_length(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  return static_cast<int>(line.size());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace norvane;
  if (argc == 2 && std::strcmp(argv[1], "--diagnose") == 0) {
    // No window and no single-instance claim: it also runs beside the program.
    QCoreApplication core(argc, argv);
    std::fputs(diagnose_system(exe_folder_path(), qVersion()).c_str(), stdout);
    return 0;
  }
  if (cli::is_command_line(argc, argv)) return cli::run_command_line(argc, argv);
  startup_mark("main");
  QApplication app(argc, argv);
  startup_mark("application");
  app.setApplicationName(QStringLiteral("norvane"));
  app.setQuitOnLastWindowClosed(false);  // the program lives on in the tray
  install_qt_trace_sink();
  resources().set_folder(QString::fromStdString(exe_folder_path()) + QStringLiteral("res/"));
  resources().load_style_sheet(QStringLiteral("style.qss"));
  startup_mark("style-sheet");

  // A second start only asks the first to come forward (or says that it does not answer).
  SingleInstance instance;
  if (!instance.claim()) {
    resources().load_language(QStringLiteral("lan.xml"));
    const int code = run_second_start(instance);
    resources().shut_down();
    return code;
  }

  startup_mark("single-instance");
  trace("ilen = %d\r\n", command_line_length(argc, argv));
  resources().load_language(QStringLiteral("lan.xml"));  // before the skins, which show its texts

  // The window owns the mouse's settings page, which opens the links to the mouse.
  auto page = std::make_unique<CMS_1_Page>(program_page_environment());
  CMS_1_Page& page_ref = *page;
  startup_mark("page-built");
  auto main_window = std::make_unique<CMainWnd>(std::move(page));
  if (main_window->create(nullptr, QString(), CMainWnd::kStyle, QSize(CMainWnd::kWidth, CMainWnd::kHeight))) {
    startup_mark("window-created");
    main_window->center();
    MessagePortPtr port = main_window->port();
    instance.set_activation_handler([port](std::function<void()> done) {
      // Answer once the window has handled the request (or could not any more).
      port->post(UM_ACTIVATE, 0, 0, [done](bool) { done(); });
    });
    cli::serve_commands(instance, page_ref);  // commands of later starts, on this page
    startup_mark("event-loop");
    app.exec();
    instance.set_command_handler({});
  } else {
    trace("main window: skin main.xml could not be loaded from %s\n", qPrintable(resources().folder()));
  }

  // Shut-down: the window object (page, links, tray icon), then the toolkit's resources.
  main_window.reset();
  resources().shut_down();
  return 0;
}
