#pragma once
// `norvane COMMAND ...`: the command line's way from the arguments to an exit code.
//
// The arguments are read first (--help, --version and mistakes need nothing else).
// When an instance of the program runs, the command goes to it over the
// single-instance socket and its window follows; otherwise this process starts the
// program without showing a window (Qt's offscreen platform), claims the single
// instance so that no second copy opens the mouse meanwhile, carries the command out
// on the stores and the mouse, and ends.

#include "app/cli/cli_commands.h"

namespace norvane {
class CMS_1_Page;
class SingleInstance;
}

namespace norvane::cli {

// True when the program was started with a command (anything but no arguments or
// --diagnose).
bool is_command_line(int argc, char** argv);

// Runs the command line; returns the process's exit code. Creates the application.
int run_command_line(int argc, char** argv);

// In the running instance: carries out the commands later starts send over `instance`
// on `page`, which must outlive the instance's socket. Without `waits` the real event
// loop waits (wait_with_event_loop), briefly for the mouse and not for the battery.
void serve_commands(SingleInstance& instance, CMS_1_Page& page, Waits waits = {});

// Lets the event loop run until `done` holds or `timeout_ms` passed (real time).
bool wait_with_event_loop(const std::function<bool()>& done, int timeout_ms);

// What the running instance answers to the bytes of one request.
QByteArray answer_request(const QByteArray& request, CMS_1_Page& page, const Waits& waits);

}  // namespace norvane::cli
