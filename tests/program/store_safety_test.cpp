// The stores in the running program when the disk misbehaves: a save that fails is
// shown once, with the folder and the reason, and tried again at the next save point;
// a slow disk never holds the window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <filesystem>
#include <fstream>

#include "core/profile_defaults.h"
#include "storage/store_image.h"
#include "tests/program/running_program.h"
#include "tests/storage/store_test_support.h"
#include "tests/support/modal_driver.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

// Clicks OK in the next message box and keeps what it said.
void read_next_message(ModalDriver& driver, QString& said) {
  driver.on_next(QStringLiteral("MsgWnd"), [&said](WindowBase& box) {
    said = box.find(QStringLiteral("warning")).shown_text();
    box.find(QStringLiteral("btn_ok")).click();
  });
}

}  // namespace

TEST(StoresInTheProgram, AFullDiskIsShownOnceWithTheFolderAndTheReasonAndTheNextSaveTriesAgain) {
  test::FaultyFileOps disk;
  disk.write_budget = 0;
  ModalDriver driver;
  QString said;
  read_next_message(driver, said);

  RunningProgram::Options options;
  options.store_ops = &disk;
  RunningProgram program(options);  // the default store it makes cannot be written
  program.pump();
  EXPECT_EQ(driver.seen(), QStringList{QStringLiteral("MsgWnd")});
  EXPECT_TRUE(said.contains(QString::fromStdString(program.store_folder()))) << qPrintable(said);
  EXPECT_TRUE(said.contains(QStringLiteral("No space left on device"))) << qPrintable(said);

  program.settle();  // an apply, whose save fails as well: traced, not shown again
  program.page().store_writer().wait_idle();
  program.pump();
  EXPECT_EQ(driver.seen().size(), 1);
  EXPECT_GE(program.traced("Store: not saved"), 2) << "the start-up save and every apply's save are traced";
  EXPECT_TRUE(program.stored_file().empty());
  EXPECT_EQ(program.page().profiles().profiles.size(), 1u) << "the program goes on with its profile";

  disk.write_budget = SIZE_MAX;  // space again: the next save point writes the store
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.stored_file().size(), profile_store_bytes(1));
  EXPECT_EQ(driver.seen().size(), 1);
}

TEST(StoresInTheProgram, AFileInPlaceOfTheStoreFolderIsShownAndLeftAlone) {
  ModalDriver driver;
  QString said;
  read_next_message(driver, said);
  RunningProgram::Options options;
  options.prepare_data_folder = [](const std::string& data) { std::ofstream(data + "ms_1") << "not a folder"; };

  RunningProgram program(options);
  program.pump();
  EXPECT_EQ(driver.seen(), QStringList{QStringLiteral("MsgWnd")});
  EXPECT_TRUE(said.contains(QString::fromStdString(program.store_folder()))) << qPrintable(said);
  EXPECT_TRUE(said.contains(QStringLiteral("Not a directory"))) << qPrintable(said);
  EXPECT_EQ(program.page().profiles().profiles.size(), 1u);
  std::ifstream kept(program.store_folder().substr(0, program.store_folder().size() - 1));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not a folder");
}

// A change made on the mouse is saved from the UI thread's handling of its event. With
// a store write that takes as long as it likes (a large store, a slow disk), the window
// must have handled the event and be free again while the write still runs.
TEST(StoresInTheProgram, AChangeMadeOnTheMouseIsSavedWithoutHoldingTheWindow) {
  test::GatedFileOps disk;
  RunningProgram::Options options;
  options.store_ops = &disk;
  ProfileRecord stored{};
  reset_profile_defaults(stored);
  options.stored_profiles.assign(20, stored);
  RunningProgram program(options);
  program.settle();
  program.page().store_writer().wait_idle();

  disk.close_gate();
  vm_press_dpi_button();
  program.pump();
  ASSERT_TRUE(disk.wait_until_a_write_waits());
  EXPECT_NE(disk.writing_threads().back(), std::this_thread::get_id());
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(program.control("ms_1_option_dpi_step_3").widget())->isChecked());
  program.time().advance(2000);  // the window goes on: the DPI popup closes on time
  program.pump();
  EXPECT_TRUE(visible_windows_with("dpi_label").empty());

  disk.open_gate();
  EXPECT_EQ(program.stored_profile(0).current_dpi_level, 2);
  EXPECT_TRUE(disk.every_write_let_through());
}
