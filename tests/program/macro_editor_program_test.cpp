// The macro editor in the running program: opened from the page's "Macros" button,
// driven through its controls, with a stand-in input-capture library whose input
// carries the times the test gives it, and macro.data checked on disk.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <fstream>

#include "app/key_names.h"
#include "core/profile_defaults.h"
#include "macros/macro_size.h"
#include "macros/ui/macro_editor.h"
#include "macros/ui/macro_editor_controls.h"
#include "macros/ui/macro_file_dialogs.h"
#include "storage/record_names.h"
#include "tests/macros/keymaps.h"
#include "tests/program/fake_capture.h"
#include "tests/program/running_program.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"

namespace norvane::testing {
namespace {

using namespace macro_controls;

constexpr uintptr_t kVkA = 0x41, kVkB = 0x42, kVkC = 0x43, kVkD = 0x44;
constexpr uint8_t kUsageA = 4, kUsageB = 5, kUsageC = 6;
constexpr intptr_t kDown = 0, kUp = 1;

// ---- macros as the tests store them

MacroEvent press(uint8_t code, uint16_t delay) { return MacroEvent{0, code, kKindPress, 0, delay, 0, 0, 0}; }
MacroEvent release(uint8_t code, uint16_t delay) { return MacroEvent{0, code, kKindRelease, 0, delay, 0, 0, 0}; }
MacroEvent movement(int32_t x, int32_t y, uint16_t delay) {
  return MacroEvent{0, kCodeMouseMove, kKindMove, 0, delay, 0, x, y};
}

MacroRecord macro(std::u16string_view name, std::vector<MacroEvent> events = {}) {
  MacroRecord record{};
  set_field_name(record.name, name);
  record.event_count = static_cast<int32_t>(events.size());
  std::copy(events.begin(), events.end(), record.events);
  return record;
}

MacroRecord key_strokes(std::u16string_view name, int count) {
  std::vector<MacroEvent> events;
  for (int i = 0; i < count; ++i) events.push_back(i % 2 ? release(kUsageA, 10) : press(kUsageA, 10));
  return macro(name, events);
}

struct Shape {
  uint8_t code, kind;
  uint16_t delay;
  bool operator==(const Shape&) const = default;
};
void PrintTo(const Shape& s, std::ostream* os) {
  *os << "{" << int(s.code) << "," << int(s.kind) << "," << s.delay << "}";
}

std::vector<Shape> shapes(const MacroRecord& record) {
  std::vector<Shape> out;
  for (int i = 0; i < record.event_count; ++i) out.push_back({record.events[i].code, record.events[i].kind, record.events[i].delay});
  return out;
}

std::u16string name_of(const MacroRecord& record) { return std::u16string(field_name(record.name)); }

// ---- the editor's controls

void leave(QWidget* widget) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(widget, &out);
}

void enter_focus(QWidget* widget) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(widget, &in);
}

QLineEdit* edit(WindowBase& w, const char* name) { return qobject_cast<QLineEdit*>(w.find(QLatin1String(name)).widget()); }

// Puts `text` into an edit and leaves it, as the user does.
void fill(WindowBase& w, const char* name, const QString& text) {
  QLineEdit* e = edit(w, name);
  ASSERT_NE(e, nullptr) << name;
  e->setText(text);
  leave(e);
}

void click(WindowBase& w, const char* name) { w.find(QLatin1String(name)).click(); }

void select_row(WindowBase& w, const char* list, int row) {
  Control(w.find(QLatin1String(list))).select_item(row, Notify::kRaise);
}

int rows(WindowBase& w, const char* list) { return w.find(QLatin1String(list)).row_count(); }

QString limit_line(WindowBase& w) {
  Control line = w.find(QLatin1String(kLimitLabel));
  return line.is_visible() ? line.text() : QString();
}

QString row_part(WindowBase& w, int row, const char* part) {
  return Control(w.find(QLatin1String(kEventList)).row(row)).find(QLatin1String(part)).shown_text();
}

// Answers the editor's file dialogs with paths the test chooses.
class ChosenFiles final : public MacroFileDialogs {
 public:
  QString export_path(QWidget*, const QString& folder) override {
    folders.push_back(folder);
    return next_export;
  }
  QString import_path(QWidget*, const QString& folder) override {
    folders.push_back(folder);
    return next_import;
  }
  QString next_export, next_import;
  QStringList folders;
};

class MacroEditorInProgram : public ::testing::Test {
 protected:
  void start(std::vector<MacroRecord> stored = {}, std::vector<ProfileRecord> profiles = {}) {
    layout_ = xkb_layout("us");
    const KeyboardLayoutProvider provider = [this] { return layout_; };
    RunningProgram::Options options;
    options.stored_macros = std::move(stored);
    options.stored_profiles = std::move(profiles);
    options.key_name = key_names(provider);
    options.key_code = key_codes(provider);
    options.hook_library = FakeCapture::path();
    options.macro_file_dialogs = &files;
    program = std::make_unique<RunningProgram>(std::move(options));
  }

  // Opens the editor from the page, runs `steps` in it and closes it with its exit
  // button (unless the steps closed it).
  void in_editor(const std::function<void(CMS_1_Macro&)>& steps) {
    bool ran = false;
    driver.on_next(QStringLiteral("MS_1_Macro"), [&](WindowBase& window) {
      ran = true;
      steps(static_cast<CMS_1_Macro&>(window));
      if (window.is_created()) click(window, kExitButton);
    });
    program->control("ms_1_btn_macro").click();
    EXPECT_TRUE(ran) << "the editor did not open";
  }

  // Input the capture sees at `at_ms`, handled by the editor.
  void input(uintptr_t wparam, intptr_t lparam, int64_t at_ms) {
    capture.input(wparam, lparam, at_ms);
    flush_events();
  }
  void key(uintptr_t vk, int64_t down_ms, int64_t up_ms) {
    input(vk, kDown, down_ms);
    input(vk, kUp, up_ms);
  }
  int64_t now() const { return program->time().now_ms(); }

  std::shared_ptr<const KeyboardLayout> layout_;
  FakeCapture capture;
  ChosenFiles files;
  ModalDriver driver;
  std::unique_ptr<RunningProgram> program;
};

// ---- the library

TEST_F(MacroEditorInProgram, AnEmptyLibraryShowsNothingAndRecordingAddsTheFirstMacro) {
  start();
  in_editor([&](CMS_1_Macro& editor) {
    EXPECT_EQ(rows(editor, kMacroList), 0);
    EXPECT_EQ(rows(editor, kEventList), 0);
    EXPECT_EQ(editor.current_macro_index(), -1);

    click(editor, kRecordButton);
    ASSERT_TRUE(editor.recording());
    EXPECT_EQ(rows(editor, kMacroList), 1);
    EXPECT_EQ(editor.find(QLatin1String(kNameEdit)).text(), "Macro1");
    EXPECT_EQ(editor.find(QLatin1String(kRecordButton)).text(), "stop_recording_text");
    EXPECT_EQ(capture.calls(), "installhook;enablehook(1);mousewheelenable(0);enablemousehook(1);");

    capture.clear_calls();
    key(kVkA, now() + 100, now() + 250);
    EXPECT_EQ(rows(editor, kEventList), 2);
    click(editor, kRecordButton);
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(capture.calls(), "removehook;removemousehook;enablemousehook(0);enablehook(0);mousewheelenable(0);");
    EXPECT_EQ(editor.find(QLatin1String(kRecordButton)).text(), "start_recording_text");
    EXPECT_FALSE(editor.find(QLatin1String(kRecordButton)).is_checked());
  });
  const std::vector<MacroRecord> stored = program->stored_macros();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(name_of(stored[0]), u"Macro1");
  // Default-delay mode with 10 ms; the recording's last event keeps 1.
  EXPECT_EQ(shapes(stored[0]), (std::vector<Shape>{{kUsageA, kKindPress, 10}, {kUsageA, kKindRelease, 1}}));
}

TEST_F(MacroEditorInProgram, DeletingTheOnlyMacroEmptiesTheStore) {
  start({key_strokes(u"Only", 4)});
  driver.click(QStringLiteral("MsgWnd"), QStringLiteral("btn_cancel"));
  driver.click(QStringLiteral("MsgWnd"), QStringLiteral("btn_ok"));
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    EXPECT_EQ(rows(editor, kEventList), 4);
    click(editor, kDeleteButton);  // cancelled
    EXPECT_EQ(rows(editor, kMacroList), 1);
    click(editor, kDeleteButton);
    EXPECT_EQ(rows(editor, kMacroList), 0);
    EXPECT_EQ(rows(editor, kEventList), 0);
    EXPECT_EQ(editor.current_macro_index(), -1);
    EXPECT_EQ(editor.working_copy().selected, -1);
    EXPECT_TRUE(editor.find(QLatin1String(kNameEdit)).text().isEmpty());
  });
  EXPECT_EQ(driver.seen(), (QStringList{"MS_1_Macro", "MsgWnd", "MsgWnd"}));
  EXPECT_TRUE(program->stored_macros().empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(program->store_folder() + "macro.data")));
}

TEST_F(MacroEditorInProgram, RenamesStayUniqueWithoutRegardToCase) {
  start({macro(u"Macro1"), macro(u"Macro2")});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    fill(editor, kNameEdit, "macro1");  // the same name: nothing changes
    EXPECT_EQ(editor.find(QLatin1String(kNameEdit)).text(), "Macro1");
    EXPECT_TRUE(limit_line(editor).isEmpty());

    fill(editor, kNameEdit, "MACRO2");
    EXPECT_EQ(editor.find(QLatin1String(kNameEdit)).text(), "Macro1") << "the old name is put back";
    EXPECT_FALSE(limit_line(editor).isEmpty()) << "and the window says why";

    fill(editor, kNameEdit, "Dash");
    EXPECT_EQ(Control(editor.find(QLatin1String(kMacroList))).row_text(0), "Dash");
  });
  const std::vector<MacroRecord> stored = program->stored_macros();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(name_of(stored[0]), u"Dash");
  EXPECT_EQ(name_of(stored[1]), u"Macro2");
}

// ---- the event list

TEST_F(MacroEditorInProgram, MovingEventsAndTheEndsThatDoNotMove) {
  start({macro(u"Keys", {press(kUsageA, 20), press(kUsageB, 30), press(kUsageC, 40)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    EXPECT_EQ(editor.working_copy().selected, 2) << "loading selects the last event";
    click(editor, kDownButton);
    select_row(editor, kEventList, 0);
    click(editor, kUpButton);
    EXPECT_EQ(shapes(*program->page().macro_library()[0]),
              (std::vector<Shape>{{kUsageA, kKindPress, 20}, {kUsageB, kKindPress, 30}, {kUsageC, kKindPress, 40}}));

    click(editor, kDownButton);
    EXPECT_EQ(editor.working_copy().selected, 1) << "the moved event stays selected";
    EXPECT_EQ(row_part(editor, 1, kRowKey), "A");
    click(editor, kDownButton);  // into the last place: its row shows its own delay
    EXPECT_EQ(row_part(editor, 2, kRowDelay), "20");
  });
  EXPECT_EQ(shapes(program->stored_macros()[0]),
            (std::vector<Shape>{{kUsageB, kKindPress, 30}, {kUsageC, kKindPress, 40}, {kUsageA, kKindPress, 20}}));
}

TEST_F(MacroEditorInProgram, DeletingAndClearingEvents) {
  start({macro(u"Keys", {press(kUsageA, 20), press(kUsageB, 30), press(kUsageC, 40)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    select_row(editor, kEventList, 1);
    click(editor, kDeleteEventButton);
    EXPECT_EQ(editor.working_copy().selected, 1) << "the next event takes its place";
    EXPECT_EQ(shapes(program->stored_macros()[0]),
              (std::vector<Shape>{{kUsageA, kKindPress, 20}, {kUsageC, kKindPress, 40}}));
    click(editor, kClearEventsButton);
    EXPECT_EQ(rows(editor, kEventList), 0);
    EXPECT_EQ(editor.working_copy().selected, -1);
  });
  EXPECT_EQ(program->stored_macros()[0].event_count, 0);
}

// ---- recording

TEST_F(MacroEditorInProgram, RecordedDelaysFollowTheDelayModeAndTheInputsOwnTimes) {
  start({macro(u"Gaps"), macro(u"Fixed"), macro(u"Fast")});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kRecordDelayButton);
    EXPECT_EQ(editor.delay_mode(), DelayMode::recorded);
    const int64_t t = now();
    click(editor, kRecordButton);
    program->time().advance(90000);  // handled long after: the inputs' own times count
    key(kVkA, t + 500, t + 3500);    // held 3 s
    key(kVkB, t + 43500, t + 43600);  // 40 s after the release of A
    click(editor, kRecordButton);
    EXPECT_EQ(shapes(*program->page().macro_library()[0]),
              (std::vector<Shape>{{kUsageA, kKindPress, 3000}, {kUsageA, kKindRelease, 25000},
                                  {kUsageB, kKindPress, 100}, {kUsageB, kKindRelease, 1}}));

    select_row(editor, kMacroList, 1);
    click(editor, kDefaultDelayButton);
    fill(editor, kDefaultDelayEdit, "50");
    click(editor, kRecordButton);
    key(kVkC, now() + 1, now() + 2000);
    click(editor, kRecordButton);

    select_row(editor, kMacroList, 2);
    fill(editor, kDefaultDelayEdit, "0");
    EXPECT_EQ(editor.find(QLatin1String(kDefaultDelayEdit)).text(), "1");
    click(editor, kNoDelayButton);
    click(editor, kRecordButton);
    input(kVkD, kDown, now() + 5);
    input(kVkD, kDown, now() + 40);  // a repeat of the held key is no new event
    input(kVkD, kUp, now() + 900);
    click(editor, kRecordButton);
  });
  const std::vector<MacroRecord> stored = program->stored_macros();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(shapes(stored[1]), (std::vector<Shape>{{kUsageC, kKindPress, 50}, {kUsageC, kKindRelease, 1}}));
  EXPECT_EQ(shapes(stored[2]), (std::vector<Shape>{{7, kKindPress, 1}, {7, kKindRelease, 1}}));
}

TEST_F(MacroEditorInProgram, RecordingAfterAMiddleEventGivesTheFirstGapToTheEventAfterIt) {
  start({macro(u"Middle", {press(kUsageA, 20), release(kUsageA, 30), press(kUsageB, 40), release(kUsageB, 50)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    select_row(editor, kEventList, 1);
    click(editor, kRecordDelayButton);
    const int64_t t = now();
    click(editor, kRecordButton);
    key(kVkC, t + 700, t + 1000);
    EXPECT_EQ(editor.working_copy().selected, 3) << "the newest event is selected";
    click(editor, kRecordButton);
  });
  EXPECT_EQ(shapes(program->stored_macros()[0]),
            (std::vector<Shape>{{kUsageA, kKindPress, 20}, {kUsageA, kKindRelease, 30}, {kUsageC, kKindPress, 300},
                                {kUsageC, kKindRelease, 1}, {kUsageB, kKindPress, 700}, {kUsageB, kKindRelease, 50}}));
}

TEST_F(MacroEditorInProgram, RecordingStopsAt190EventsAndSaysSo) {
  start({key_strokes(u"Long", 186)});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kNoDelayButton);
    click(editor, kRecordButton);
    key(kVkB, now(), now());
    key(kVkC, now(), now());
    EXPECT_FALSE(editor.recording()) << "stopped by the 190th event";
    EXPECT_FALSE(limit_line(editor).isEmpty());
    EXPECT_EQ(capture.installed(), 0);
    EXPECT_FALSE(capture.input(kVkD, kDown, now())) << "the capture is off";
  });
  const MacroRecord stored = program->stored_macros()[0];
  EXPECT_EQ(stored.event_count, 190);
  EXPECT_EQ(stored.events[189].code, kUsageC);
}

TEST_F(MacroEditorInProgram, TheMouseHookIsOffOverTheRecordButtonAndEveryWayOutStopsTheCapture) {
  start({macro(u"Clicks")});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kRecordButton);
    QWidget* button = editor.find(QLatin1String(kRecordButton)).widget();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(capture.mouse_enabled(), 0);
    EXPECT_FALSE(capture.input(513, 0, now())) << "a click on the record button is not captured";
    QEvent leave_button(QEvent::Leave);
    QApplication::sendEvent(button, &leave_button);
    EXPECT_EQ(capture.mouse_enabled(), 1);
    input(523, 2, now());  // the back button
    input(524, 2, now());
    EXPECT_EQ(rows(editor, kEventList), 2);
    // Closed while recording: the capture stops and the events are kept.
  });
  EXPECT_EQ(capture.installed(), 0);
  EXPECT_EQ(shapes(program->stored_macros()[0]),
            (std::vector<Shape>{{kCodeBackwardButton, kKindPress, 10}, {kCodeBackwardButton, kKindRelease, 1}}));
}

TEST_F(MacroEditorInProgram, WithoutACaptureRecordingDoesNotStartAndSaysWhy) {
  start({macro(u"Keys")});
  capture.refuse(1);
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kRecordButton);
    EXPECT_FALSE(editor.recording());
    EXPECT_FALSE(editor.find(QLatin1String(kRecordButton)).is_checked());
    EXPECT_TRUE(editor.find(QLatin1String(kCaptureHint)).is_visible());
  });
}

TEST_F(MacroEditorInProgram, TheKeyFieldReplacesTheKeyOfTheSelectedEvent) {
  start({macro(u"Keys", {press(kUsageA, 20), release(kUsageA, 30)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    select_row(editor, kEventList, 0);
    click(editor, kEventEditorCheck);
    EXPECT_EQ(editor.find(QLatin1String(kEventEditorPages)).selected_item(), kPageKey);
    EXPECT_EQ(editor.find(QLatin1String(kKeyField)).text(), "A");
    capture.clear_calls();
    enter_focus(editor.find(QLatin1String(kKeyField)).widget());
    EXPECT_TRUE(editor.capturing_key());
    key(kVkC, now(), now());
    EXPECT_EQ(editor.find(QLatin1String(kKeyField)).text(), "C");
    EXPECT_EQ(row_part(editor, 0, kRowKey), "C");
    leave(editor.find(QLatin1String(kKeyField)).widget());
    EXPECT_EQ(capture.calls(), "installhook;enablehook(1);removehook;enablehook(0);");
  });
  EXPECT_EQ(shapes(program->stored_macros()[0]),
            (std::vector<Shape>{{kUsageC, kKindPress, 20}, {kUsageA, kKindRelease, 30}}));
}

// ---- inserting and editing

TEST_F(MacroEditorInProgram, AClickNeedsRoomForTwoEvents) {
  start({key_strokes(u"Full", 189), key_strokes(u"Room", 188)});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kInsertMouseCheck);
    click(editor, "ms_1_macro_key1_btn");
    EXPECT_EQ(editor.working_copy().count, 189);
    EXPECT_FALSE(limit_line(editor).isEmpty());

    select_row(editor, kMacroList, 1);
    click(editor, "ms_1_macro_key4_btn");  // forward, after the selected last event
    EXPECT_EQ(editor.working_copy().count, 190);
  });
  const std::vector<MacroRecord> stored = program->stored_macros();
  EXPECT_EQ(stored[0].event_count, 189);
  ASSERT_EQ(stored[1].event_count, 190);
  EXPECT_EQ(shapes(stored[1])[188], (Shape{kCodeForwardButton, kKindPress, 10}));
  EXPECT_EQ(shapes(stored[1])[189], (Shape{kCodeForwardButton, kKindRelease, 10}));
}

TEST_F(MacroEditorInProgram, TheOffsetFieldsKeepNumbersInRangeAndDelaysAreClamped) {
  start({macro(u"Edit", {press(kUsageA, 20), release(kUsageA, 30)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kInsertMouseCheck);
    edit(editor, kNewXEdit)->clear();
    edit(editor, kNewYEdit)->clear();
    QTest::keyClicks(edit(editor, kNewXEdit), "12a-3");
    EXPECT_EQ(edit(editor, kNewXEdit)->text(), "12-3");
    QTest::keyClicks(edit(editor, kNewYEdit), "1500");
    EXPECT_EQ(edit(editor, kNewYEdit)->text(), "999");
    click(editor, kInsertMoveButton);  // after the selected last event
    EXPECT_EQ(row_part(editor, 2, kRowAction), "X: 12 Y: 999");

    click(editor, kEventEditorCheck);
    EXPECT_EQ(editor.find(QLatin1String(kEventEditorPages)).selected_item(), kPageMove);
    fill(editor, kMoveDelayEdit, "0");
    EXPECT_EQ(edit(editor, kMoveDelayEdit)->text(), "1");
    fill(editor, kMoveXEdit, "-40");

    select_row(editor, kEventList, 0);
    EXPECT_EQ(editor.find(QLatin1String(kEventEditorPages)).selected_item(), kPageKey);
    fill(editor, kKeyDelayEdit, "5");
    EXPECT_EQ(edit(editor, kKeyDelayEdit)->text(), "10");
    select_row(editor, kEventList, 1);
    fill(editor, kKeyDelayEdit, "30000");
    EXPECT_EQ(row_part(editor, 1, kRowDelay), "25000");
    click(editor, kSaveButton);
    EXPECT_FALSE(editor.event_editor_open());
  });
  const MacroRecord stored = program->stored_macros()[0];
  EXPECT_EQ(shapes(stored), (std::vector<Shape>{{kUsageA, kKindPress, 10}, {kUsageA, kKindRelease, 25000},
                                                {kCodeMouseMove, kKindMove, 1}}));
  EXPECT_EQ(stored.events[2].x, -40);
  EXPECT_EQ(stored.events[2].y, 999);
}

TEST_F(MacroEditorInProgram, TheLastKeyEventsDelayCannotBeSetAndTheButtonComboChangesTheButton) {
  start({macro(u"Edit", {press(kCodeLeftButton, 20), release(kCodeLeftButton, 30)})});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kEventEditorCheck);
    EXPECT_EQ(editor.find(QLatin1String(kEventEditorPages)).selected_item(), kPageButton);
    EXPECT_FALSE(editor.find(QLatin1String(kButtonDelayEdit)).is_enabled()) << "the last event";
    select_row(editor, kButtonCombo, 3);
    select_row(editor, kEventList, 0);
    EXPECT_TRUE(editor.find(QLatin1String(kButtonDelayEdit)).is_enabled());
    select_row(editor, kButtonCombo, 4);
    click(editor, kCancelButton);
    EXPECT_EQ(editor.working_copy().selected, 0) << "the edited event stays selected";
  });
  EXPECT_EQ(shapes(program->stored_macros()[0]),
            (std::vector<Shape>{{kCodeBackwardButton, kKindPress, 20}, {kCodeForwardButton, kKindRelease, 30}}));
}

TEST_F(MacroEditorInProgram, AChangeBeyond191UnitsIsUndoneAndTheWindowSaysWhy) {
  // A key press, then 63 movements: 190 units.
  std::vector<MacroEvent> events{press(kUsageA, 10)};
  for (int i = 0; i < 63; ++i) events.push_back(movement(1, 1, 1));
  start({macro(u"Big", events)});
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    select_row(editor, kEventList, 0);
    click(editor, kEventEditorCheck);
    fill(editor, kKeyDelayEdit, "200");  // 191 units: still fits
    EXPECT_TRUE(limit_line(editor).isEmpty());

    select_row(editor, kEventList, 5);
    fill(editor, kMoveDelayEdit, "200");  // 192
    EXPECT_TRUE(limit_line(editor).contains("192")) << limit_line(editor).toStdString();
    EXPECT_EQ(editor.working_copy().events[5].delay, 1) << "the stored macro is back";
    EXPECT_EQ(row_part(editor, 5, kRowDelay), "1");

    click(editor, kInsertMouseCheck);
    click(editor, kInsertMoveButton);
    EXPECT_EQ(editor.working_copy().count, 64);
  });
  const MacroRecord stored = program->stored_macros()[0];
  EXPECT_EQ(stored.event_count, 64);
  EXPECT_EQ(stored.events[0].delay, 200);
  EXPECT_EQ(macro_size_units(stored.events, stored.event_count), 191);
}

// ---- macro files

TEST_F(MacroEditorInProgram, ExportingAndImportingTwiceGivesSuffixedCopies) {
  start({macro(u"Jump", {press(kUsageA, 20), release(kUsageA, 30)})});
  const QString file = QString::fromStdString(program->store_folder()) + "../jump.macro";
  files.next_export = file;
  files.next_import = file;
  in_editor([&](CMS_1_Macro& editor) {
    click(editor, kExportButton);  // nothing loaded: nothing to export
    EXPECT_TRUE(files.folders.isEmpty());
    select_row(editor, kMacroList, 0);
    click(editor, kExportButton);
    click(editor, kImportButton);
    click(editor, kImportButton);
    EXPECT_EQ(editor.current_macro_index(), 2) << "the imported macro is loaded";
    EXPECT_EQ(rows(editor, kEventList), 2);
  });
  const std::vector<MacroRecord> stored = program->stored_macros();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(name_of(stored[1]), u"Jump_1");
  EXPECT_EQ(name_of(stored[2]), u"Jump_2");
  EXPECT_EQ(shapes(stored[2]), shapes(stored[0]));
  // The file is the macro's record in macro.data, byte for byte.
  const std::vector<uint8_t> store = program->stored_macro_file();
  std::ifstream in(file.toStdString(), std::ios::binary);
  const std::vector<uint8_t> exported((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(exported, std::vector<uint8_t>(store.begin(), store.begin() + sizeof(MacroRecord)));
  for (const QString& folder : files.folders) EXPECT_EQ(folder.toStdString(), program->store_folder().substr(0, program->store_folder().size() - 5));
}

TEST_F(MacroEditorInProgram, ADamagedMacroFileIsRefusedWithAMessageAndNothingChanges) {
  start({macro(u"Keep")});
  const std::vector<uint8_t> before = program->stored_macro_file();
  const std::string path = program->store_folder() + "../broken.macro";
  MacroRecord broken = macro(u"Broken", {press(kUsageA, 10)});
  broken.event_count = 191;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&broken), sizeof broken);
  files.next_import = QString::fromStdString(path);
  QString message_key;
  driver.on_next(QStringLiteral("MsgWnd"), [&](WindowBase& box) {
    message_key = box.find(QStringLiteral("warning")).text();
    click(box, "btn_ok");
  });
  in_editor([&](CMS_1_Macro& editor) {
    click(editor, kImportButton);
    EXPECT_EQ(rows(editor, kMacroList), 1);
  });
  EXPECT_EQ(message_key, "macro_file_count_text");
  EXPECT_EQ(program->page().macro_library().size(), 1u);
  EXPECT_EQ(program->stored_macro_file(), before);
}

TEST(MacroFileDialogsTest, OfferMacroFilesInTheDataFolderAndAddTheSuffix) {
  test_app();
  QTemporaryDir folder;
  QStringList filters;
  QString suffix, directory;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    directory = dialog->directory().absolutePath();
    dialog->selectFile(folder.filePath("run"));
    static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
  });
  const QString chosen = system_macro_file_dialogs().export_path(nullptr, folder.path() + "/Data/");
  ASSERT_EQ(filters.size(), 1);
  EXPECT_TRUE(filters[0].endsWith("(*.macro *.MACRO)")) << filters[0].toStdString();
  EXPECT_EQ(suffix, "macro");
  EXPECT_EQ(directory, QDir(folder.path() + "/Data").absolutePath()) << "made when missing";
  EXPECT_EQ(chosen, folder.filePath("run.macro"));
}

// ---- the macro on the mouse

TEST_F(MacroEditorInProgram, AMacroMadeInTheEditorReachesTheMouseThroughItsButton) {
  // Button 1 runs the macro "Jump", which the library does not have yet.
  ProfileRecord profile{};
  reset_profile_defaults(profile);
  set_field_name(profile.name, u"Game");
  profile.buttons[0].function = kFunctionMacro;
  set_field_name(profile.buttons[0].macro_name, u"Jump");
  start({macro(u"Jump")}, {profile});
  program->settle();
  in_editor([&](CMS_1_Macro& editor) {
    select_row(editor, kMacroList, 0);
    click(editor, kInsertMouseCheck);
    click(editor, "ms_1_macro_key2_btn");  // a right click
    fill(editor, kNewXEdit, "-25");
    fill(editor, kNewYEdit, "300");
    click(editor, kInsertMoveButton);
    select_row(editor, kEventList, 1);
    click(editor, kEventEditorCheck);
    fill(editor, kButtonDelayEdit, "450");
  });
  ASSERT_TRUE(program->drain());

  const ButtonSlot slot = program->stored_profile(0).buttons[0];
  EXPECT_EQ(slot.function, kFunctionMacro);
  EXPECT_EQ(slot.macro_event_count, 3);
  VmMacroInfo info{};
  VmMacroEvent events[8]{};
  ASSERT_EQ(vm_macro_decode(1, &info, events, 8), VM_MACRO_OK);
  ASSERT_EQ(info.event_count, 3);
  EXPECT_EQ(events[0].code, kCodeRightButton);
  EXPECT_EQ(events[0].kind, VM_MACRO_KIND_PRESS);
  EXPECT_EQ(events[0].delay, 10);
  EXPECT_EQ(events[1].kind, VM_MACRO_KIND_RELEASE);
  EXPECT_EQ(events[1].delay, 450);
  EXPECT_EQ(events[2].kind, VM_MACRO_KIND_MOVE);
  EXPECT_EQ(events[2].x, -25);
  EXPECT_EQ(events[2].y, 300);
}

}  // namespace
}  // namespace norvane::testing
