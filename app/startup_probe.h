#pragma once
// The main window's first paint: work that can wait until the window is on screen
// runs right after it, and the start-up measurement marks it.

#include <functional>

class QWidget;

namespace norvane {

inline constexpr char kFirstPaintMark[] = "first-paint";
// The longest wait for the first paint of a shown window (a platform that never
// paints it must not hold the deferred work back for good).
inline constexpr int kFirstPaintWaitLimitMs = 2000;

// Runs `work` once, on the UI thread, as soon as the frame of `window`'s first paint is
// done, right after the start-up mark "first-paint" (core/startup_marks.h), so a script
// timing the start-up from the outside (bench/startup) does not count the work. When
// the event loop starts with the window hidden (the program starts in the tray),
// nothing will be painted: the work runs at once.
void after_first_paint(QWidget* window, std::function<void()> work);

// Only the mark, when NORVANE_REPORT_STARTUP is set: for a window with no work waiting.
void report_first_paint_when_asked(QWidget* window);

}  // namespace norvane
