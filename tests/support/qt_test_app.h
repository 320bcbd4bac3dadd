#pragma once
// The one QApplication of a test executable (created on first use, offscreen when no
// platform is set), plus a bounded way to let queued events run.

#include <QApplication>
#include <functional>

namespace norvane::testing {

QApplication& test_app();

// Processes events until `done` holds or `limit_ms` passed (a guard against hanging
// tests, not a delay: it returns as soon as `done` holds). Returns `done()`.
bool run_events_until(const std::function<bool()>& done, int limit_ms = 10000);

// Processes the events already queued (posted messages, deferred deletes).
void flush_events();

}  // namespace norvane::testing
