#pragma once
// CShortcutWnd: the keyboard shortcut dialog (window class "ShortcutWnd", skin
// "shortcut.xml"). Four check boxes give the modifiers (Ctrl, Shift, Alt, Win); the key
// field takes one key, captured through the input-capture library while the field has
// the focus. Every key message, press or release, replaces the key, so the field keeps
// the key of the last message. It closes with 1 (OK) or 0 (Cancel, close button).
//
// The capture is started when the key field gains the focus and stopped when it loses
// it, and on every way out of the dialog (closed, destroyed, or the object deleted).

#include <cstdint>
#include <functional>
#include <optional>

#include "app/toolkit/window_base.h"
#include "buttons/button_assignment.h"
#include "buttons/button_caption.h"
#include "input_capture/hook_library.h"

namespace norvane {

// The keyboard usage ID of a virtual key in the layout in use; 0 for a key without one.
using KeyUsageFn = std::function<uint8_t(uint32_t virtual_key)>;

inline constexpr int kShortcutModifierBoxes = 4;

class CShortcutWnd : public WindowBase {
 public:
  // `hooks` may be null or have null entries: the key field then cannot capture keys and
  // says so.
  CShortcutWnd(ShortcutKeys start, const HookFunctions* hooks, KeyUsageFn key_usage, KeyNameFn key_name);
  ~CShortcutWnd() override;

  QString window_class_name() const override { return QStringLiteral("ShortcutWnd"); }
  QString skin_file() const override { return QStringLiteral("shortcut.xml"); }

  ShortcutKeys keys() const { return keys_; }
  bool capturing() const { return capturing_; }

  void notify(const Notification& n) override;

 protected:
  void init() override;
  bool handle_custom_message(const Message& m) override;
  void on_destroy() override;

 private:
  void start_capture();
  void stop_capture();
  void on_key_message(uintptr_t wparam, intptr_t lparam);
  void show_key();

  ShortcutKeys keys_;
  const HookFunctions* hooks_;
  KeyUsageFn key_usage_;
  KeyNameFn key_name_;
  bool capturing_ = false;
  NvPostTarget post_target_{};
  Control boxes_[kShortcutModifierBoxes];
  Control key_edit_, hint_, ok_, cancel_, exit_;
};

// Runs the dialog modally over `owner` (null: no owner), centred on it. The confirmed key and modifiers,
// or nothing when the user cancelled (or the skin is missing).
std::optional<ShortcutKeys> run_shortcut_dialog(WindowBase* owner, ShortcutKeys start, const HookFunctions* hooks,
                                                KeyUsageFn key_usage, KeyNameFn key_name);

}  // namespace norvane
