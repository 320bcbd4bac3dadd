// Recording a macro from real input: the running program with the real input-capture
// library on a private X server, while xdotool types and clicks.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/key_names.h"
#include "macros/ui/macro_editor.h"
#include "macros/ui/macro_editor_controls.h"
#include "tests/macros/keymaps.h"
#include "tests/program/running_program.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/xvfb_server.h"

namespace norvane::testing {
namespace {

using namespace macro_controls;

TEST(MacroRecordingOnX11, TypedKeysAndClicksBecomeTheStoredMacro) {
  if (!program_available("Xvfb") || !program_available("xdotool")) {
    GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/setup installs them)";
  }
  XvfbServer server;
  ASSERT_TRUE(server.running()) << server.error();
  // The session is an X11 one on the private server; the windows stay offscreen.
  setenv("DISPLAY", server.display().c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_SESSION_TYPE");
  unsetenv("NORVANE_INPUT_CAPTURE");

  std::shared_ptr<const KeyboardLayout> layout = xkb_layout("us");
  const KeyboardLayoutProvider provider = [&layout] { return layout; };
  RunningProgram::Options options;
  options.hook_library = NORVANE_HOOK_LIBRARY;
  options.key_name = key_names(provider);
  options.key_code = key_codes(provider);
  RunningProgram program(std::move(options));

  ModalDriver driver;
  bool recorded_all = false;
  driver.on_next(QStringLiteral("MS_1_Macro"), [&](WindowBase& window) {
    auto& editor = static_cast<CMS_1_Macro&>(window);
    Control events = editor.find(QLatin1String(kEventList));
    editor.find(QLatin1String(kRecordButton)).click();
    ASSERT_TRUE(editor.recording());
    EXPECT_TRUE(editor.find(QLatin1String(kCaptureHint)).text().isEmpty()) << "the whole session is captured";
    EXPECT_EQ(server.run({"xdotool", "key", "a", "b", "click", "1", "click", "3"}), 0);
    recorded_all = run_events_until([&] { return events.row_count() >= 8; });
    editor.find(QLatin1String(kRecordButton)).click();
    editor.find(QLatin1String(kExitButton)).click();
  });
  program.control("ms_1_btn_macro").click();
  ASSERT_TRUE(recorded_all);

  const std::vector<MacroRecord> stored = program.stored_macros();
  ASSERT_EQ(stored.size(), 1u);
  const MacroRecord& macro = stored[0];
  ASSERT_EQ(macro.event_count, 8);
  const uint8_t codes[] = {4, 4, 5, 5, kCodeLeftButton, kCodeLeftButton, kCodeRightButton, kCodeRightButton};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(macro.events[i].code, codes[i]) << i;
    EXPECT_EQ(macro.events[i].kind, i % 2 ? kKindRelease : kKindPress) << i;
    EXPECT_EQ(macro.events[i].delay, i == 7 ? 1 : 10) << i;
  }
}

}  // namespace
}  // namespace norvane::testing
