#pragma once
// WindowBase: one skinned window of the program.
//
// A window class supplies its class name and skin file and overrides what it needs:
//
//   class CMsgWnd : public WindowBase {
//     QString window_class_name() const override { return "MsgWnd"; }
//     QString skin_file() const override { return "msg.xml"; }
//     void init() override { ok_ = find("btn_ok"); }          // bind controls by name
//     void on_click(const Notification& n) override { if (n.from("btn_ok")) close(1); }
//   };
//
//   CMsgWnd box;
//   box.create(&owner, "", WindowStyle::kPopup | WindowStyle::kToolWindow);
//   box.center();
//   int result = box.show_modal();                            // the code given to close()
//
// Life of a window: create() loads the skin (plus any skins it includes), wires its
// controls' notifications, runs init(), sizes the window to the skin and shows it when
// asked. close(code) hides it and ends a modal run; the native window is then destroyed:
// on_destroy() runs while the controls still exist, then on_final_message(), which
// deletes the object when it was flagged to free itself. Other windows are freed by
// their opener (destroying the object also destroys its native window, without calling
// on_destroy, which a derived class can no longer receive by then).
//
// Routing: notifications of controls inside a container whose dynamic property
// `virtualwnd` names a page registered with add_virtual_window() go to that page;
// all others go to notify(), whose default hands "click" to on_click().
//
// Messages: post_message() (or a MessagePort taken from port(), from any thread)
// queues a numbered message; handle_custom_message() receives it on the UI thread in
// arrival order. Window timers (set_timer) arrive in on_timer(); control timers
// (set_control_timer) arrive as "timer" notifications from that control. Both go
// through the TimerService, so tests drive them on fake time.

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "app/toolkit/control.h"
#include "app/toolkit/message_port.h"
#include "app/toolkit/notification.h"
#include "core/messages.h"

class QWidget;
class QEventLoop;

namespace norvane {

class WindowHost;

// Window style flags for create().
namespace WindowStyle {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kVisible = 1u << 0;     // show at once
inline constexpr unsigned kPopup = 1u << 1;       // no system frame (the skin draws one)
inline constexpr unsigned kToolWindow = 1u << 2;  // no task-bar entry, stays over its parent
inline constexpr unsigned kTopmost = 1u << 3;     // above all other windows
inline constexpr unsigned kNoActivate = 1u << 4;  // showing does not take the focus
inline constexpr unsigned kMinimizeBox = 1u << 5; // may be minimised (a frameless window too)
}  // namespace WindowStyle

class WindowBase : public NotifyTarget {
 public:
  WindowBase();
  ~WindowBase() override;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  virtual QString window_class_name() const = 0;
  virtual QString skin_file() const = 0;  // relative to the skin folder

  // Creates the native window from the skin. `size` is used when the skin's root has no
  // size of its own; the window is placed at `pos` (centre it afterwards with center()).
  // Returns false when the skin cannot be loaded (nothing is left behind).
  bool create(WindowBase* parent, const QString& title, unsigned style,
              QSize size = QSize(), QPoint pos = QPoint());
  bool is_created() const;

  void show(bool activate = true);
  void hide();
  bool is_visible() const;
  bool is_minimized() const;
  void minimize();
  void restore();
  void bring_to_front();
  void center();  // over the parent window, or on the screen
  void move_to(QPoint pos, QSize size = QSize());
  QRect frame_rect() const;  // screen rectangle of the window
  void set_title(const QString& title);

  // Runs the window modally (the parent is blocked) until close(code); returns code.
  // When the run ends the native window is destroyed (on_destroy runs) before this
  // returns; a window flagged to free itself is deleted by then, too.
  int show_modal();
  bool is_modal_running() const;

  // Hides the window, ends a modal run with `code` and destroys the native window
  // (right away for a modal run, otherwise once control is back in the event loop).
  void close(int code = 0);

  // When set, the object deletes itself once its native window is gone.
  void set_free_on_close(bool on) { free_on_close_ = on; }
  bool free_on_close() const { return free_on_close_; }

  // --- controls
  Control find(const QString& name) const;
  Control root() const;

  // --- routing to page objects
  void add_virtual_window(const QString& name, NotifyTarget* page);
  void remove_virtual_window(const QString& name);

  // --- messages
  // Queues a message (safe from any thread through port()). Returns false once the
  // native window is gone.
  bool post_message(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);
  // Handles a message at once, on the calling (UI) thread. Returns whether it was handled.
  bool send_message(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);
  MessagePortPtr port() const { return port_; }

  // --- timers
  void set_timer(int id, int interval_ms);  // restarts a running timer
  void kill_timer(int id);
  void set_control_timer(const Control& control, int id, int interval_ms);
  void kill_control_timer(const Control& control, int id);

  // Delivers a notification as if `sender` had raised it (routing included).
  void raise(const Control& sender, NotifyType type, intptr_t wparam = 0, intptr_t lparam = 0);

  // The native window (for placing other windows, tests and the few operations the
  // toolkit does not wrap). Null before create() and after the window is gone.
  QWidget* native() const;

  // Called whenever a window starts a modal run, once its loop is running. Tests use
  // it to act in dialogs (tests/support/modal_driver.h). Returns the previous observer.
  using ModalObserver = std::function<void(WindowBase&)>;
  static ModalObserver set_modal_observer(ModalObserver observer);

  // NotifyTarget: default handling; "click" goes to on_click().
  void notify(const Notification& n) override;

 protected:
  virtual void init() {}
  virtual void on_click(const Notification&) {}
  // Returns true when the message was handled.
  virtual bool handle_custom_message(const Message&) { return false; }
  virtual void on_timer(int /*id*/) {}
  virtual void on_destroy() {}
  // Last call for the window; the default deletes the object when free_on_close is set.
  virtual void on_final_message();
  // The user asked to close the window (window manager close button, Alt+F4).
  // Default: close(0).
  virtual void on_close_request() { close(0); }
  // The window came on screen (shown and not minimised) or left it. Called once per
  // change; work that only draws can pause while the window is off screen.
  virtual void on_screen_changed(bool /*on_screen*/) {}

 private:
  friend class WindowHost;
  void check_on_screen();
  void route(const Notification& n);
  void deliver_message(const Message& m);
  void native_destroyed();  // called by the host while its controls still exist
  void destroy_native_now();

  WindowHost* host_ = nullptr;
  QWidget* skin_root_ = nullptr;
  WindowBase* parent_ = nullptr;
  MessagePortPtr port_;
  std::map<QString, NotifyTarget*> pages_;
  std::set<QWidget*> control_timer_owners_;
  bool free_on_close_ = false;
  bool on_screen_ = false;
  bool final_pending_ = false;
  int close_code_ = 0;
  QEventLoop* modal_loop_ = nullptr;
};

}  // namespace norvane
