// The profile list in the running program: adding, deleting, renaming and restoring
// profiles, and exporting and importing profile files, driven through the page's
// buttons, the name dialog, message boxes and the file dialog, against the virtual
// mouse on the cable.

#include <gtest/gtest.h>

#include <QListWidget>
#include <cstring>
#include <fstream>
#include <random>

#include "core/profile_defaults.h"
#include "settings/page_controls.h"
#include "storage/macro_store.h"
#include "storage/profile_file.h"
#include "storage/record_names.h"
#include "storage/store_image.h"
#include "tests/program/running_program.h"
#include "tests/support/modal_driver.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

ProfileRecord named_profile(std::u16string_view name) {
  ProfileRecord record;
  std::memset(&record, 0, sizeof record);
  reset_profile_defaults(record);
  set_field_name(record.name, name);
  return record;
}

MacroRecord named_macro(std::u16string_view name) {
  MacroRecord macro;
  std::memset(&macro, 0, sizeof macro);
  set_field_name(macro.name, name);
  return macro;
}

QStringList list_rows(RunningProgram& program) {
  Control list = program.control(kProfileList);
  QStringList rows;
  for (int i = 0; i < list.row_count(); ++i) rows << list.row_text(i);
  return rows;
}

std::u16string current_name(RunningProgram& program) {
  const ProfileRecord* current = program.page().profiles().current_profile;
  return current ? std::u16string(field_name(current->name)) : u"<none>";
}

// What the message box of the next modal run said; the box is confirmed.
void confirm_next_box(ModalDriver& driver, QString& message) {
  driver.on_next("MsgWnd", [&message](WindowBase& box) {
    message = box.find(QStringLiteral("warning")).text();
    box.find(QStringLiteral("btn_ok")).click();
  });
}

// Types `name` into the next name dialog and confirms it.
void name_in_next_dialog(ModalDriver& driver, const QString& name, QString* title = nullptr) {
  driver.on_next("MS_1_ProfileName", [name, title](WindowBase& dialog) {
    if (title) *title = dialog.find(QStringLiteral("title_string")).text();
    dialog.find(QStringLiteral("edit_name")).set_text(name);
    dialog.find(QStringLiteral("btn_ok")).click();
  });
}

// Command bytes of the whole reports the mouse accepted, oldest first.
std::vector<uint8_t> accepted_commands() {
  std::vector<uint8_t> commands;
  for (int i = 0; i < vm_wire_log_count(); ++i) {
    VmWireEntry e{};
    if (vm_wire_log_get(i, &e) && e.direction == VM_TO_MOUSE && e.outcome == VM_FRAME_ACCEPTED)
      commands.push_back(e.bytes[0]);
  }
  return commands;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void put_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> record_bytes(const ProfileRecord& record) {
  const auto* p = reinterpret_cast<const uint8_t*>(&record);
  return std::vector<uint8_t>(p, p + sizeof record);
}

TEST(ProfilesInTheProgram, DeletingNeedsASecondProfileAndAConfirmationAndMovesTheSelection) {
  {
    RunningProgram program({.stored_profiles = {named_profile(u"Only")}});
    program.settle();
    const std::vector<uint8_t> stored = program.stored_file();
    ModalDriver driver;
    QString message;
    confirm_next_box(driver, message);
    program.control(kProfileDeleteButton).click();
    EXPECT_EQ(message, QStringLiteral("one_profile_text"));
    EXPECT_EQ(list_rows(program), QStringList{"Only"});
    ASSERT_TRUE(program.drain());
    EXPECT_EQ(program.stored_file(), stored);
  }

  RunningProgram program({.stored_profiles = {named_profile(u"A"), named_profile(u"B"), named_profile(u"C")}});
  program.settle();
  int applies = program.applies();
  program.control(kProfileList).select_item(2, Notify::kRaise);
  ASSERT_TRUE(program.wait_for_applies(++applies));

  // Cancelling the confirmation keeps everything.
  ModalDriver driver;
  driver.click("MsgWnd", "btn_cancel");
  program.control(kProfileDeleteButton).click();
  EXPECT_EQ(list_rows(program), (QStringList{"A", "B", "C"}));
  EXPECT_EQ(current_name(program), u"C");

  // The selected last of three: the new last one is selected.
  QString message;
  confirm_next_box(driver, message);
  vm_wire_log_clear();
  program.control(kProfileDeleteButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(message, QStringLiteral("delete_profile_text"));
  EXPECT_EQ(list_rows(program), (QStringList{"A", "B"}));
  EXPECT_EQ(program.control(kProfileList).selected_item(), 1);
  EXPECT_EQ(current_name(program), u"B");
  EXPECT_EQ(program.page().profiles().selected_profile_index(), 1);
  ASSERT_FALSE(accepted_commands().empty());
  EXPECT_EQ(accepted_commands().front(), 0x0C) << "the newly selected profile goes out whole";
  EXPECT_EQ(program.stored_file().size(), profile_store_bytes(2));
  EXPECT_EQ(program.stored_selected_index(), 1);

  // The first: the new first one is selected.
  program.control(kProfileList).select_item(0, Notify::kRaise);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  confirm_next_box(driver, message);
  program.control(kProfileDeleteButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(list_rows(program), QStringList{"B"});
  EXPECT_EQ(program.control(kProfileList).selected_item(), 0);
  EXPECT_EQ(current_name(program), u"B");
  EXPECT_EQ(field_name(program.stored_profile(0).name), u"B");
  EXPECT_EQ(program.stored_selected_index(), 0);
  EXPECT_EQ(driver.pending(), 0);
}

TEST(ProfilesInTheProgram, AddingRefusesEmptyAndTakenNamesThenAddsTheProfileAndSendsItWhole) {
  RunningProgram program({.stored_profiles = {named_profile(u"Work")}});
  program.settle();
  int applies = program.applies();
  program.slider(kBrightnessSlider).setValue(3);
  program.time().advance(500);
  ASSERT_TRUE(program.wait_for_applies(++applies));

  // Refusals keep the dialog open with what was typed; cancelling adds nothing.
  ModalDriver driver;
  QStringList warnings;
  QStringList kept;
  QString title;
  driver.on_next("MS_1_ProfileName", [&](WindowBase& dialog) {
    title = dialog.find(QStringLiteral("title_string")).text();
    Control edit = dialog.find(QStringLiteral("edit_name"));
    for (const char* typed : {"", "work", "WORK"}) {
      edit.set_text(QString::fromLatin1(typed));
      dialog.find(QStringLiteral("btn_ok")).click();
      kept << edit.text();
    }
    dialog.find(QStringLiteral("btn_cancel")).click();
  });
  for (int i = 0; i < 3; ++i) {
    driver.on_next("MsgWnd", [&](WindowBase& box) {
      warnings << box.find(QStringLiteral("warning")).text();
      box.find(QStringLiteral("btn_ok")).click();
    });
  }
  program.control(kProfileAddButton).click();
  EXPECT_EQ(title, QStringLiteral("profile_name_1_text"));
  EXPECT_EQ(warnings, (QStringList{"warn_name_1_text", "warn_name_2_text", "warn_name_2_text"}));
  EXPECT_EQ(kept, (QStringList{"", "work", "WORK"}));
  EXPECT_EQ(list_rows(program), QStringList{"Work"});

  // Accepted: the new profile is last and current, with the defaults, and the next
  // apply sends every section, starting with the full-send opener.
  vm_wire_log_clear();
  name_in_next_dialog(driver, QStringLiteral("Gaming"));
  program.control(kProfileAddButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(list_rows(program), (QStringList{"Work", "Gaming"}));
  EXPECT_EQ(program.control(kProfileList).selected_item(), 1);
  EXPECT_EQ(current_name(program), u"Gaming");
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 8);
  const std::vector<uint8_t> commands = accepted_commands();
  ASSERT_GE(commands.size(), 5u);
  EXPECT_EQ(std::vector<uint8_t>(commands.begin(), commands.begin() + 5),
            (std::vector<uint8_t>{0x0C, 0x04, 0x05, 0x06, 0x08}));
  EXPECT_EQ(program.mouse().light_brightness, 8);
  // That apply saved the store with both profiles and the new one selected.
  EXPECT_EQ(program.stored_file().size(), profile_store_bytes(2));
  EXPECT_EQ(program.stored_selected_index(), 1);
  EXPECT_EQ(field_name(program.stored_profile(1).name), u"Gaming");
  EXPECT_EQ(program.stored_profile(0).light_brightness, 3) << "the first profile keeps its settings";
}

TEST(ProfilesInTheProgram, RenamingRefusesTheSameNameInAnotherCaseAndSurvivesARestart) {
  RunningProgram program({.stored_profiles = {named_profile(u"Work"), named_profile(u"Home")}});
  program.settle();

  ModalDriver driver;
  QString warning;
  QString kept;
  QString title;
  driver.on_next("MS_1_ProfileName", [&](WindowBase& dialog) {
    title = dialog.find(QStringLiteral("title_string")).text();
    dialog.find(QStringLiteral("edit_name")).set_text(QStringLiteral("WORK"));
    dialog.find(QStringLiteral("btn_ok")).click();
    kept = dialog.find(QStringLiteral("edit_name")).text();
    dialog.find(QStringLiteral("btn_exit")).click();
  });
  confirm_next_box(driver, warning);
  program.control(kProfileRenameButton).click();
  EXPECT_EQ(title, QStringLiteral("profile_name_2_text"));
  EXPECT_EQ(warning, QStringLiteral("warn_name_2_text"));
  EXPECT_EQ(kept, QStringLiteral("WORK"));
  EXPECT_EQ(current_name(program), u"Work");

  // Accepted: saved at once, without an apply.
  const int applies = program.applies();
  name_in_next_dialog(driver, QStringLiteral("Büro ✓"));
  program.control(kProfileRenameButton).click();
  EXPECT_EQ(list_rows(program), (QStringList{"Büro ✓", "Home"}));
  EXPECT_EQ(field_name(program.stored_profile(0).name), u"Büro ✓");
  EXPECT_EQ(field_name(program.stored_profile(1).name), u"Home");
  program.pump();
  EXPECT_EQ(program.applies(), applies) << "nothing to send for a new name";

  program.restart();
  EXPECT_EQ(list_rows(program), (QStringList{"Büro ✓", "Home"}));
  EXPECT_EQ(current_name(program), u"Büro ✓");
}

TEST(ProfilesInTheProgram, RestoringKeepsTheNameAndEveryOtherProfile) {
  ProfileRecord first = named_profile(u"First");
  first.light_brightness = 2;
  ProfileRecord second = named_profile(u"Second");
  second.light_brightness = 4;
  second.polling_rate = 1;
  ProfileRecord third = named_profile(u"Third");
  third.buttons[20].function = 9;  // a slot nothing shows
  RunningProgram program({.stored_profiles = {first, second, third}});
  program.settle();
  int applies = program.applies();
  program.control(kProfileList).select_item(1, Notify::kRaise);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 4);

  ModalDriver driver;
  QString message;
  confirm_next_box(driver, message);
  program.control(kResetButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(message, QStringLiteral("restore_text"));
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 8);

  ProfileRecord restored = named_profile(u"Second");
  EXPECT_EQ(record_bytes(program.stored_profile(1)), record_bytes(restored));
  EXPECT_EQ(record_bytes(program.stored_profile(0)), record_bytes(first));
  EXPECT_EQ(record_bytes(program.stored_profile(2)), record_bytes(third));
  EXPECT_EQ(list_rows(program), (QStringList{"First", "Second", "Third"}));
  EXPECT_EQ(program.mouse().polling_rate, 3);
}

TEST(ProfilesInTheProgram, AnExportedFileIsTheStoredRecordAndImportsUnderFreeNames) {
  ProfileRecord work = named_profile(u"Work");
  work.sleep_timer = 33;
  for (int k = kMouseButtons; k < kButtonSlots; ++k) {
    std::memset(&work.buttons[k], 0x5A + k, sizeof work.buttons[k]);
    set_field_name(work.buttons[k].macro_name, u"carried");
    work.buttons[k].macro_event_count = static_cast<uint16_t>(k);
  }
  RunningProgram program({.stored_profiles = {work}});
  program.settle();

  const std::string file = program.data_file("work.pro");
  program.answer_next_file_dialog(file);
  program.control(kProfileExportButton).click();
  ASSERT_EQ(program.file_requests().size(), 1u);
  EXPECT_EQ(program.file_requests()[0].mode, FileDialogRequest::Mode::save);
  EXPECT_EQ(program.file_requests()[0].filter, QStringLiteral("Profile File (*.pro *.PRO)"));
  EXPECT_EQ(program.file_requests()[0].default_suffix, QStringLiteral("pro"));
  EXPECT_EQ(file_bytes(file), record_bytes(program.stored_profile(0)));

  // A cancelled dialog changes nothing.
  program.control(kProfileImportButton).click();
  EXPECT_EQ(program.file_requests().back().mode, FileDialogRequest::Mode::open);
  EXPECT_EQ(list_rows(program), QStringList{"Work"});

  int applies = program.applies();
  for (int i = 1; i <= 2; ++i) {
    vm_wire_log_clear();
    program.answer_next_file_dialog(file);
    program.control(kProfileImportButton).click();
    ASSERT_TRUE(program.wait_for_applies(++applies));
    ASSERT_FALSE(accepted_commands().empty());
    EXPECT_EQ(accepted_commands().front(), 0x0C) << "an imported profile goes out whole";
  }
  EXPECT_EQ(list_rows(program), (QStringList{"Work", "Work_1", "Work_2"}));
  EXPECT_EQ(current_name(program), u"Work_2");
  EXPECT_EQ(program.stored_selected_index(), 2);
  EXPECT_EQ(program.mouse().sleep_timer, 33);
  // Apart from the name, the imported records are the exported one, slots 18..23 too.
  ProfileRecord expected = program.stored_profile(0);
  set_field_name(expected.name, u"Work_2");
  const ProfileRecord imported = program.stored_profile(2);
  EXPECT_EQ(record_bytes(imported), record_bytes(expected));
  EXPECT_EQ(std::memcmp(&imported.buttons[kMouseButtons], &work.buttons[kMouseButtons],
                        sizeof(ButtonSlot) * (kButtonSlots - kMouseButtons)),
            0);
  EXPECT_TRUE(program.page().macro_library().empty()) << "no macro button, no macro";
}

TEST(ProfilesInTheProgram, ImportedMacroButtonsBringTheirMacrosIntoTheLibraryUnderFreeNames) {
  ProfileRecord shared = named_profile(u"Shared");
  for (int k : {0, 1}) {
    ButtonSlot& slot = shared.buttons[k];
    slot.function = kFunctionMacro;
    set_field_name(slot.macro_name, u"M1");
    slot.macro_repeat = 3 + k;
    slot.macro_event_count = 4;
    for (int e = 0; e < 4; ++e) {
      MacroEvent& ev = slot.macro_events[e];
      ev.code = static_cast<uint8_t>(0x04 + e + k);
      ev.kind = e % 2 == 0 ? kKindPress : kKindRelease;
      ev.delay = static_cast<uint16_t>(10 * (e + 1));
      ev.reserved_2 = static_cast<uint16_t>(0xBEEF + e);  // carried byte for byte
    }
  }
  RunningProgram program({.stored_profiles = {named_profile(u"Work")}, .stored_macros = {named_macro(u"Other")}});
  program.settle();
  const std::string file = program.data_file("shared.pro");
  ASSERT_TRUE(write_profile_file(shared, file).ok());

  int applies = program.applies();
  program.answer_next_file_dialog(file);
  program.control(kProfileImportButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));

  const MacroLibrary& library = program.page().macro_library();
  ASSERT_EQ(library.size(), 3u);
  EXPECT_EQ(field_name(library[1]->name), u"M1");
  EXPECT_EQ(field_name(library[2]->name), u"M1_1");
  const ProfileRecord imported = program.stored_profile(1);
  for (int k : {0, 1}) {
    const MacroRecord& macro = *library[static_cast<size_t>(k) + 1];
    const ButtonSlot& slot = imported.buttons[k];
    EXPECT_EQ(field_name(slot.macro_name), field_name(macro.name));
    EXPECT_EQ(slot.macro_list_index, k + 1);
    EXPECT_EQ(macro.repeat, 3 + k);
    EXPECT_EQ(macro.event_count, 4);
    EXPECT_EQ(std::memcmp(macro.events, shared.buttons[k].macro_events, sizeof macro.events), 0);
  }
  // The library on disk holds them too, and the mouse got both macros.
  MacroLibrary on_disk;
  load_macro_store(on_disk, program.store_folder());
  ASSERT_EQ(on_disk.size(), 3u);
  EXPECT_EQ(std::memcmp(on_disk[2].get(), library[2].get(), sizeof(MacroRecord)), 0);
  VmMacroInfo info{};
  VmMacroEvent events[8]{};
  ASSERT_EQ(vm_macro_decode(5, &info, events, 8), VM_MACRO_OK);  // button 2's block
  EXPECT_EQ(info.event_count, 4);
  EXPECT_EQ(info.repeat, 4);
  EXPECT_EQ(events[0].code, 0x05);

  // Into a library that holds M1 by now: every macro button adds a macro again.
  program.answer_next_file_dialog(file);
  program.control(kProfileImportButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  ASSERT_EQ(library.size(), 5u);
  EXPECT_EQ(field_name(library[3]->name), u"M1_2");
  EXPECT_EQ(field_name(library[4]->name), u"M1_3");
  EXPECT_EQ(field_name(program.stored_profile(2).buttons[1].macro_name), u"M1_3");
  EXPECT_EQ(program.control("ms_1_btn_key_2").shown_text(), QStringLiteral("Macro: M1_3"));
}

TEST(ProfilesInTheProgram, DamagedFilesAreRefusedOrRepaired) {
  RunningProgram program({.stored_profiles = {named_profile(u"Work")}, .stored_macros = {named_macro(u"Other")}});
  program.settle();
  const std::vector<uint8_t> profiles_before = program.stored_file();
  const std::vector<uint8_t> macros_before = file_bytes(program.store_folder() + "macro.data");

  std::mt19937 random(1234);
  auto random_bytes = [&random](size_t size) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
  };
  const std::vector<uint8_t> image = record_bytes(named_profile(u"Work"));
  std::vector<uint8_t> long_file = image;
  long_file.push_back(0);
  struct Refused {
    const char* file;
    std::vector<uint8_t> bytes;
    const char* message;
  };
  const Refused refusals[] = {
      {"short.pro", std::vector<uint8_t>(image.begin(), image.end() - 1), "profile_file_size_text"},
      {"long.pro", long_file, "profile_file_size_text"},
      {"random.pro", random_bytes(5000), "profile_file_size_text"},
      {"empty.pro", {}, "profile_file_size_text"},
  };
  ModalDriver driver;
  for (const Refused& r : refusals) {
    SCOPED_TRACE(r.file);
    put_file(program.data_file(r.file), r.bytes);
    QString message;
    confirm_next_box(driver, message);
    program.answer_next_file_dialog(program.data_file(r.file));
    program.control(kProfileImportButton).click();
    EXPECT_EQ(message, QString::fromLatin1(r.message));
  }
  QString message;
  confirm_next_box(driver, message);
  program.answer_next_file_dialog(program.data_file("missing.pro"));
  program.control(kProfileImportButton).click();
  EXPECT_EQ(message, QStringLiteral("profile_file_unreadable_text"));
  confirm_next_box(driver, message);
  program.answer_next_file_dialog(program.store_folder());  // a folder
  program.control(kProfileImportButton).click();
  EXPECT_EQ(message, QStringLiteral("profile_file_unreadable_text"));

  ASSERT_TRUE(program.drain());
  EXPECT_EQ(list_rows(program), QStringList{"Work"});
  EXPECT_EQ(program.stored_file(), profiles_before);
  EXPECT_EQ(file_bytes(program.store_folder() + "macro.data"), macros_before);
  EXPECT_EQ(program.page().macro_library().size(), 1u);

  // Random bytes of the right size become a profile that the page and the mouse can
  // take: the name ends in its field, no macro holds more than 190 events, every shown
  // value lies in its range.
  std::vector<uint8_t> noise = random_bytes(sizeof(ProfileRecord));
  ProfileRecord noisy;
  std::memcpy(&noisy, noise.data(), sizeof noisy);
  noisy.polling_rate = 9;
  noisy.light_mode = -3;
  for (int k = 0; k < kMouseButtons; ++k) noisy.buttons[k].function = k == 6 ? kFunctionMacro : 0;
  noisy.buttons[6].macro_event_count = 600;
  std::memcpy(noise.data(), &noisy, sizeof noisy);
  put_file(program.data_file("noise.pro"), noise);
  int applies = program.applies();
  program.answer_next_file_dialog(program.data_file("noise.pro"));
  program.control(kProfileImportButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(driver.pending(), 0);
  ASSERT_EQ(list_rows(program).size(), 2);
  const ProfileRecord imported = program.stored_profile(1);
  EXPECT_LT(field_name(imported.name).size(), static_cast<size_t>(kProfileNameUnits));
  EXPECT_EQ(imported.polling_rate, 3);
  EXPECT_EQ(imported.light_mode, 5);
  EXPECT_EQ(imported.buttons[6].macro_event_count, kMaxMacroEvents);
  EXPECT_GE(imported.current_dpi_level, 0);
  EXPECT_LT(imported.current_dpi_level, kDpiLevels);
  EXPECT_EQ(program.page().macro_library().back()->event_count, kMaxMacroEvents);
  EXPECT_EQ(program.mouse().polling_rate, 3);
}

}  // namespace
}  // namespace norvane::testing
