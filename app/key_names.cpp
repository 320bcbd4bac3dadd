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

KeyCodeNameFn session_key_names() {
  SessionKeyboardOptions options;
  options.trace = [](const std::string& line) { trace("%s\n", line.c_str()); };
  auto keyboard = std::make_shared<SessionKeyboard>(std::move(options));
  return key_names([keyboard]() -> std::shared_ptr<const KeyboardLayout> { return keyboard->current(); });
}

}  // namespace norvane
