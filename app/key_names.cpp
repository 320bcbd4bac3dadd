#include "app/key_names.h"

#include <QString>

#include "app/toolkit/resources.h"
#include "core/trace.h"
#include "macros/key_codes.h"
#include "macros/session_keyboard.h"

namespace norvane {

KeyCodeNameFn key_names(KeyboardLayoutProvider layout) {
  return [layout = std::move(layout)](uint8_t code) {
    const LanguageTextUtf8Fn text = [](std::string_view key) {
      return resources().text(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))).toStdString();
    };
    const std::shared_ptr<const KeyboardLayout> now = layout();
    return QString::fromStdString(key_name_from_code(code, *now, text)).toStdU16String();
  };
}

VirtualKeyCodeFn key_codes(KeyboardLayoutProvider layout) {
  return [layout = std::move(layout)](uint32_t virtual_key) -> uint8_t {
    const std::shared_ptr<const KeyboardLayout> now = layout();
    return key_code_from_vk(virtual_key, *now).code;
  };
}

namespace {

KeyboardLayoutProvider session_layout() {
  SessionKeyboardOptions options;
  options.trace = [](const std::string& line) { trace("%s\n", line.c_str()); };
  auto keyboard = std::make_shared<SessionKeyboard>(std::move(options));
  return [keyboard]() -> std::shared_ptr<const KeyboardLayout> { return keyboard->current(); };
}

}  // namespace

KeyCodeNameFn session_key_names() { return key_names(session_layout()); }

SessionKeys session_keys() {
  const KeyboardLayoutProvider layout = session_layout();
  return SessionKeys{key_names(layout), key_codes(layout)};
}

}  // namespace norvane
