#include "app/cli/cli_session.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/cli/cli_wire.h"
#include "app/folders.h"
#include "app/program_page.h"
#include "app/main_window.h"
#include "app/qt_trace_sink.h"
#include "app/single_instance.h"
#include "app/toolkit/resources.h"
#include "settings/ms1_page.h"

namespace norvane::cli {

namespace {

// The running instance's command may wait for a whole profile to reach the mouse.
constexpr int kInstanceReplyMs = 90000;
constexpr int kPollMs = 20;
constexpr int kInstanceMouseMs = 3000;

QStringList arguments_of(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

int print(const Reply& reply) {
  std::fputs(reply.out.toLocal8Bit().constData(), stdout);
  std::fputs(reply.err.toLocal8Bit().constData(), stderr);
  std::fflush(stdout);
  return reply.exit_code;
}

Waits real_waits() { return Waits{wait_with_event_loop}; }

// The program as `norvane` starts it, without showing its window.
Reply run_here(const Request& request) {
  resources().set_folder(QString::fromStdString(exe_folder_path()) + QStringLiteral("res/"));
  auto page = std::make_unique<CMS_1_Page>(program_page_environment());
  CMS_1_Page& page_ref = *page;
  auto window = std::make_unique<CMainWnd>(std::move(page));
  Reply reply;
  if (!window->create(nullptr, QString(), CMainWnd::kStyle, QSize(CMainWnd::kWidth, CMainWnd::kHeight))) {
    reply = Reply{kExitUnreachable, {}, QStringLiteral("norvane: the program's files in %1 could not be loaded\n")
                                            .arg(resources().folder())};
  } else {
    reply = run_command(request, page_ref, real_waits());
  }
  window.reset();  // the worker ends after the requests it holds; the links close
  resources().shut_down();
  return reply;
}

}  // namespace

bool is_command_line(int argc, char** argv) {
  return argc > 1 && !(argc == 2 && std::strcmp(argv[1], "--diagnose") == 0);
}

bool wait_with_event_loop(const std::function<bool()>& done, int timeout_ms) {
  const QDeadlineTimer deadline(timeout_ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QEventLoop loop;
    QTimer::singleShot(kPollMs, &loop, &QEventLoop::quit);
    // -1: the application is quitting and no event loop runs any more; waiting longer
    // would only spin.
    if (loop.exec() == -1) return done();
  }
  return true;
}

int run_command_line(int argc, char** argv) {
  const ParseResult parsed = parse_command_line(arguments_of(argc, argv));
  if (parsed.done()) return print(Reply{parsed.exit_code, parsed.exit_code == kExitDone ? parsed.text : QString(),
                                        parsed.exit_code == kExitDone ? QString() : parsed.text});
  // No window is shown: the offscreen platform needs no display, so scripts run from a
  // console or a key binding alike.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A script reads what the command itself prints: the trace and Qt's own notes stay
  // out of its output unless QT_LOGGING_RULES asks for them.
  if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) qputenv("QT_LOGGING_RULES", "*=false");
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("norvane"));
  app.setQuitOnLastWindowClosed(false);
  install_qt_trace_sink();

  SingleInstance instance;
  if (instance.claim()) return print(run_here(parsed.request));
  const std::optional<QByteArray> answer =
      instance.send_command(encode_arguments(arguments_of(argc, argv)), kInstanceReplyMs);
  const std::optional<Reply> reply = answer ? decode_reply(*answer) : std::nullopt;
  if (!reply) {
    return print(Reply{kExitUnreachable, {}, QStringLiteral("norvane: the running instance did not answer\n")});
  }
  return print(*reply);
}

QByteArray answer_request(const QByteArray& request, CMS_1_Page& page, const Waits& waits) {
  const std::optional<QStringList> arguments = decode_arguments(request);
  if (!arguments) {
    return encode_reply(Reply{kExitBadInput, {}, QStringLiteral("norvane: the running instance got a garbled request\n")});
  }
  const ParseResult parsed = parse_command_line(*arguments);
  if (parsed.done()) {
    const bool ok = parsed.exit_code == kExitDone;
    return encode_reply(Reply{parsed.exit_code, ok ? parsed.text : QString(), ok ? QString() : parsed.text});
  }
  return encode_reply(run_command(parsed.request, page, waits));
}

void serve_commands(SingleInstance& instance, CMS_1_Page& page, Waits waits) {
  if (!waits.wait_until) {
    // The running instance knows its links and battery already; only an instance that
    // has just started may still be finding the mouse.
    waits = Waits{wait_with_event_loop, kInstanceMouseMs, 0};
  }
  instance.set_command_handler([&page, waits](const QByteArray& request, std::function<void(QByteArray)> reply) {
    reply(answer_request(request, page, waits));
  });
}

}  // namespace norvane::cli
