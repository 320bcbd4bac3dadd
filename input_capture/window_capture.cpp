#include "input_capture/window_capture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QWheelEvent>

#include "input_capture/capture_trace.h"
#include "input_capture/hook_abi.h"
#include "input_capture/input_translation.h"
#include "macros/session_keyboard.h"

namespace norvane::capture {
namespace {

constexpr uint32_t kXKeycodeOffset = 8;
constexpr uint32_t kQtKeyMark = 0x10000;  // physical key ids of keys known only by their Qt key

struct QtKeyVirtualKey {
  int qt_key;
  uint8_t virtual_key;
};

// clang-format off
constexpr QtKeyVirtualKey kQtKeys[] = {
    {Qt::Key_Escape, 0x1B}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09}, {Qt::Key_Backspace, 0x08},
    {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E},
    {Qt::Key_Pause, 0x13}, {Qt::Key_Print, 0x2C}, {Qt::Key_Home, 0x24}, {Qt::Key_End, 0x23},
    {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26}, {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28},
    {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22}, {Qt::Key_Shift, 0xA0}, {Qt::Key_Control, 0xA2},
    {Qt::Key_Alt, 0xA4}, {Qt::Key_AltGr, 0xA5}, {Qt::Key_Meta, 0x5B}, {Qt::Key_Super_L, 0x5B},
    {Qt::Key_Super_R, 0x5C}, {Qt::Key_Menu, 0x5D}, {Qt::Key_CapsLock, 0x14}, {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91}, {Qt::Key_Space, 0x20}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_Comma, 0xBC}, {Qt::Key_Period, 0xBE}, {Qt::Key_Slash, 0xBF},
};
// clang-format on

// Keypad keys as Qt reports them (with Qt::KeypadModifier).
uint32_t keypad_virtual_key(int qt_key) {
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return 0x60 + static_cast<uint32_t>(qt_key - Qt::Key_0);
  switch (qt_key) {
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0x6B;
    case Qt::Key_Minus: return 0x6D;
    case Qt::Key_Period: case Qt::Key_Comma: return 0x6E;
    case Qt::Key_Slash: return 0x6F;
    case Qt::Key_Enter: return 0x0D;
    default: return 0;
  }
}

class InputFilter final : public QObject {
 public:
  explicit InputFilter(InputSink& sink) : sink_(sink) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // Each input event reaches exactly one QWindow before it is handed to widgets.
    if (watched == nullptr || !watched->isWindowType()) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        on_key(*static_cast<QKeyEvent*>(event));
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
        on_button(*static_cast<QMouseEvent*>(event));
        break;
      case QEvent::Wheel:
        on_wheel(*static_cast<QWheelEvent*>(event));
        break;
      default:
        break;
    }
    return false;  // the program still gets every event
  }

 private:
  static int64_t time_of(const QInputEvent& event) {
    return event_time_from_32bit(static_cast<uint32_t>(event.timestamp()), monotonic_ms());
  }

  void on_key(const QKeyEvent& event) {
    if (event.isAutoRepeat()) return;
    const bool pressed = event.type() == QEvent::KeyPress;
    const int64_t time_ms = time_of(event);
    const int qt_key = event.key();
    const bool native = event.nativeScanCode() >= kXKeycodeOffset &&
                        (QGuiApplication::platformName() == QLatin1String("xcb") ||
                         QGuiApplication::platformName().startsWith(QLatin1String("wayland")));
    // Letters are the key that types them, as Qt already tells; the rest by its place.
    const bool letter = qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z;
    if (native && !letter) {
      if (auto input = key_input(event.nativeScanCode() - kXKeycodeOffset, pressed, time_ms, *keyboard_.current())) {
        sink_.deliver(*input);
      }
      return;
    }
    const uint32_t vk = virtual_key_of_qt_key(qt_key, event.modifiers().testFlag(Qt::KeypadModifier));
    if (vk == 0) return;
    CapturedInput input;
    input.kind = InputKind::key;
    input.wparam = vk;
    input.lparam = pressed ? 0 : 1;
    input.physical_key = native ? event.nativeScanCode() - kXKeycodeOffset : kQtKeyMark + vk;
    input.pressed = pressed;
    input.time_ms = time_ms;
    sink_.deliver(input);
  }

  void on_button(const QMouseEvent& event) {
    const bool pressed = event.type() == QEvent::MouseButtonPress;
    uint32_t x_button = 0;
    switch (event.button()) {
      case Qt::LeftButton: x_button = 1; break;
      case Qt::MiddleButton: x_button = 2; break;
      case Qt::RightButton: x_button = 3; break;
      case Qt::BackButton: x_button = 8; break;
      case Qt::ForwardButton: x_button = 9; break;
      default: return;
    }
    if (auto input = x11_button_input(x_button, pressed, time_of(event))) sink_.deliver(*input);
  }

  void on_wheel(const QWheelEvent& event) {
    const QPoint delta = event.angleDelta();
    const int64_t time_ms = time_of(event);
    CapturedInput input;
    input.kind = InputKind::wheel;
    input.time_ms = time_ms;
    if (delta.y() != 0) {
      input.wparam = NV_WM_MOUSEWHEEL;
      input.lparam = delta.y();
      sink_.deliver(input);
    }
    if (delta.x() != 0) {
      input.wparam = NV_WM_MOUSEHWHEEL;
      input.lparam = -delta.x();  // Qt counts right as negative, Windows as positive
      sink_.deliver(input);
    }
  }

  InputSink& sink_;
  SessionKeyboard keyboard_{SessionKeyboardOptions{{}, "/etc/default/keyboard",
                                                   [](const std::string& line) { trace("%s", line.c_str()); }}};
};

class WindowCapture final : public CaptureBackend {
 public:
  ~WindowCapture() override { stop(); }

  bool start(InputSink& sink) override {
    QCoreApplication* app = QCoreApplication::instance();
    if (qobject_cast<QGuiApplication*>(app) == nullptr) {
      trace("input capture: no program window to capture in");
      return false;
    }
    if (QThread::currentThread() != app->thread()) {
      trace("input capture: window capture must start on the program's UI thread");
      return false;
    }
    app_ = app;
    filter_ = std::make_unique<InputFilter>(sink);
    app->installEventFilter(filter_.get());
    return true;
  }

  void stop() override {
    if (filter_ == nullptr) return;
    if (app_ != nullptr) app_->removeEventFilter(filter_.get());
    filter_.reset();
  }

 private:
  QPointer<QCoreApplication> app_;
  std::unique_ptr<InputFilter> filter_;
};

}  // namespace

uint32_t virtual_key_of_qt_key(int qt_key, bool keypad) {
  if (keypad) {
    if (const uint32_t vk = keypad_virtual_key(qt_key)) return vk;
  }
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 0x41 + static_cast<uint32_t>(qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return 0x30 + static_cast<uint32_t>(qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return 0x70 + static_cast<uint32_t>(qt_key - Qt::Key_F1);
  for (const QtKeyVirtualKey& k : kQtKeys) {
    if (k.qt_key == qt_key) return k.virtual_key;
  }
  return 0;
}

std::unique_ptr<CaptureBackend> make_window_capture() { return std::make_unique<WindowCapture>(); }

}  // namespace norvane::capture
