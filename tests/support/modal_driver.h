#pragma once
// ModalDriver: acts in dialogs that a test's code runs modally, without a person and
// without waiting. While it lives, every window that starts a modal run is handed to
// the first queued action whose window class matches; the action usually clicks a
// button, which closes the dialog and ends the run.
//
//   ModalDriver driver;
//   driver.click("MsgWnd", "btn_ok");       // the next message box gets OK
//   page.delete_profile();                   // runs the box modally; returns at once
//   EXPECT_EQ(driver.seen(), QStringList{"MsgWnd"});

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "app/toolkit/window_base.h"

namespace norvane::testing {

class ModalDriver {
 public:
  using Action = std::function<void(WindowBase&)>;
  ModalDriver();
  ~ModalDriver();
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // Queues an action for the next modal window of class `window_class` ("" = any).
  void on_next(const QString& window_class, Action action);
  // Queues a click on the control `control` of the next modal `window_class`.
  void click(const QString& window_class, const QString& control);

  // Class names of every window that started a modal run, in order.
  const QStringList& seen() const { return seen_; }
  int pending() const { return static_cast<int>(actions_.size()); }

 private:
  struct Entry {
    QString window_class;
    Action action;
  };
  void handle(WindowBase& window);

  std::deque<Entry> actions_;
  QStringList seen_;
  WindowBase::ModalObserver previous_;
};

}  // namespace norvane::testing
