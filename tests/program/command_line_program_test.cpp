// The command line against the running program and the virtual mouse: commands carried
// out on the page of this process (no instance was running) and sent over the
// single-instance socket to a running instance, whose page then follows. What reaches
// the mouse is read back from the virtual mouse; replies as a script reads them.

#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_session.h"
#include "app/cli/cli_wire.h"
#include "app/single_instance.h"
#include "core/profile_defaults.h"
#include "drivers/virtual/virtual_mouse_control.h"
#include "settings/page_controls.h"
#include "storage/macro_file.h"
#include "storage/macro_store.h"
#include "storage/profile_file.h"
#include "storage/record_names.h"
#include "tests/program/running_program.h"
#include "tests/support/qt_test_app.h"

namespace norvane::testing {
namespace {

using cli::Reply;

ProfileRecord profile_with(std::u16string_view name, int light_mode, int level1_units) {
  ProfileRecord record;
  std::memset(&record, 0, sizeof record);
  reset_profile_defaults(record);
  set_field_name(record.name, name);
  record.light_mode = light_mode;
  record.dpi_value[0] = level1_units;
  return record;
}

// Waits that let the program run until the condition holds (bounded by the guard).
cli::Waits program_waits() {
  return cli::Waits{[](const std::function<bool()>& done, int) { return run_events_until(done); }};
}

// Waits that look once: for a mouse that is not there.
cli::Waits no_waiting() {
  return cli::Waits{[](const std::function<bool()>& done, int) {
    flush_events();
    return done();
  }};
}

Reply run(RunningProgram& program, QStringList words, const cli::Waits& waits = program_waits()) {
  words.prepend(QStringLiteral("norvane"));
  const cli::ParseResult parsed = cli::parse_command_line(words);
  EXPECT_FALSE(parsed.done()) << parsed.text.toStdString();
  if (parsed.done()) return Reply{parsed.exit_code, {}, parsed.text};
  Reply reply = cli::run_command(parsed.request, program.page(), waits);
  program.pump();
  return reply;
}

QJsonObject json_object(const Reply& reply) { return QJsonDocument::fromJson(reply.out.toUtf8()).object(); }

RunningProgram::Options two_profiles() {
  RunningProgram::Options options;
  options.stored_profiles = {profile_with(u"Work", 0, 16), profile_with(u"Game", 3, 40)};
  return options;
}

TEST(CommandLineProgram, StatusAsJsonTellsLinksProfileAndPendingChanges) {
  RunningProgram program(two_profiles());
  program.settle();
  const Reply reply = run(program, {"status", "--json"});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  const QJsonObject status = json_object(reply);
  EXPECT_EQ(status["links"].toArray(), QJsonArray{QStringLiteral("cable")});
  EXPECT_FALSE(status["asleep"].toBool());
  EXPECT_EQ(status["profile"].toObject()["index"].toInt(), 1);
  EXPECT_EQ(status["profile"].toObject()["name"].toString(), QStringLiteral("Work"));
  EXPECT_EQ(status["pending"].toArray(), QJsonArray{}) << reply.out.toStdString();

  // A slider moved in the window and not yet sent shows as pending.
  program.slider("ms_1_slider_brightness").setValue(3);
  const QJsonObject later = json_object(run(program, {"status", "--json"}));
  EXPECT_EQ(later["pending"].toArray(), QJsonArray{QStringLiteral("light")});
  EXPECT_EQ(run(program, {"apply"}).exit_code, 0);
  EXPECT_EQ(program.mouse_since_settle().light, 1u);  // the lighting report went out
  EXPECT_EQ(json_object(run(program, {"status", "--json"}))["pending"].toArray(), QJsonArray{});
}

TEST(CommandLineProgram, StatusTellsTheBatteryBehindTheReceiver) {
  RunningProgram::Options options = two_profiles();
  options.links = VM_LINK_BIT(VM_LINK_24G);
  RunningProgram program(options);
  vm_send_battery(0, 64);  // on battery: the mouse is online behind the 2.4 GHz receiver
  program.pump();
  QJsonObject status = json_object(run(program, {"status", "--json"}));
  EXPECT_EQ(status["links"].toArray(), QJsonArray{QStringLiteral("2.4GHz")});
  EXPECT_FALSE(status["asleep"].toBool());
  EXPECT_EQ(status["battery"].toObject()["level"].toInt(-1), 64);
  EXPECT_FALSE(status["battery"].toObject()["charging"].toBool());
  vm_send_battery(3, 64);
  program.pump();
  status = json_object(run(program, {"status", "--json"}));
  EXPECT_TRUE(status["battery"].toObject()["charging"].toBool());
}

TEST(CommandLineProgram, ProfileSelectByNameOrNumberReachesTheMouseAndTheStore) {
  RunningProgram program(two_profiles());
  program.settle();
  Reply reply = run(program, {"profile", "select", "game"});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  EXPECT_EQ(program.mouse().light_mode, 3);
  EXPECT_EQ(program.mouse().dpi_units[0], 40);
  EXPECT_EQ(program.stored_selected_index(), 1);
  EXPECT_EQ(program.control(page_controls::kProfileList).selected_item(), 1);  // the window follows

  reply = run(program, {"profile", "select", "1"});
  ASSERT_EQ(reply.exit_code, 0);
  EXPECT_EQ(program.mouse().dpi_units[0], 16);
  EXPECT_EQ(program.stored_selected_index(), 0);
}

TEST(CommandLineProgram, UnknownProfileIsRefusedAndNothingIsSent) {
  RunningProgram program(two_profiles());
  program.settle();
  for (const char* name : {"Play", "3", "0"}) {
    const Reply reply = run(program, {"profile", "select", name});
    EXPECT_EQ(reply.exit_code, cli::kExitBadInput) << name;
    EXPECT_TRUE(reply.err.contains(QStringLiteral("no profile"))) << reply.err.toStdString();
  }
  EXPECT_EQ(program.mouse_since_settle().frames, 0u);
  EXPECT_EQ(program.stored_selected_index(), 0);
}

TEST(CommandLineProgram, ProfileImportAddsSendsAndStoresTheProfile_DamagedFileChangesNothing) {
  RunningProgram program(two_profiles());
  program.settle();
  const std::string good = program.data_file("shared.pro");
  ASSERT_TRUE(write_profile_file(profile_with(u"Work", 5, 100), good).ok());
  const std::string damaged = program.data_file("damaged.pro");
  std::ofstream(damaged, std::ios::binary) << "not a profile";
  const std::vector<uint8_t> store_before = program.stored_file();

  Reply reply = run(program, {"profile", "import", QString::fromStdString(damaged)});
  EXPECT_EQ(reply.exit_code, cli::kExitBadInput);
  EXPECT_TRUE(reply.err.contains(QStringLiteral("101,544 bytes"))) << reply.err.toStdString();
  EXPECT_EQ(program.stored_file(), store_before);
  EXPECT_EQ(program.page().profiles().profiles.size(), 2u);
  EXPECT_EQ(program.mouse_since_settle().frames, 0u);

  reply = run(program, {"profile", "import", QString::fromStdString(good)});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  EXPECT_EQ(program.mouse().light_mode, 5);
  EXPECT_EQ(program.mouse().dpi_units[0], 100);
  EXPECT_EQ(program.stored_selected_index(), 2);
  EXPECT_EQ(std::u16string(field_name(program.stored_profile(2).name)), u"Work_1");  // the name was taken
}

TEST(CommandLineProgram, ProfileExportWritesTheNamedProfileNotTheCurrentOne) {
  RunningProgram program(two_profiles());
  program.settle();
  const std::string file = program.data_file("game.pro");
  const Reply reply = run(program, {"profile", "export", "Game", QString::fromStdString(file)});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  const ProfileFileRead read = read_profile_file(file);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(std::u16string(field_name(read.record->name)), u"Game");
  EXPECT_EQ(read.record->light_mode, 3);

  const Reply unwritable = run(program, {"profile", "export", "Game", QString::fromStdString(file + "/under-a-file.pro")});
  EXPECT_EQ(unwritable.exit_code, cli::kExitUnreachable);
  EXPECT_FALSE(unwritable.err.isEmpty());
}

TEST(CommandLineProgram, DpiLevelAndValueGoToTheMouse_OutOfRangeIsRefused) {
  RunningProgram program(two_profiles());
  program.settle();
  Reply reply = run(program, {"dpi", "set", "2", "1600"});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  EXPECT_EQ(program.mouse().dpi_cpi[1], 1600u);
  reply = run(program, {"dpi", "3"});
  ASSERT_EQ(reply.exit_code, 0) << reply.err.toStdString();
  EXPECT_EQ(program.mouse().current_level, 2);
  EXPECT_EQ(program.stored_profile(0).current_dpi_level, 2);

  const MouseReports before = program.mouse_since_settle();
  for (QStringList words : {QStringList{"dpi", "9"}, QStringList{"dpi", "7"} /* switched off */,
                            QStringList{"dpi", "set", "1", "26050"}, QStringList{"dpi", "set", "1", "40"},
                            QStringList{"dpi", "set", "x", "800"}}) {
    EXPECT_EQ(run(program, words).exit_code, cli::kExitBadInput) << words.join(' ').toStdString();
  }
  EXPECT_EQ(program.mouse_since_settle().frames, before.frames);
  EXPECT_EQ(program.mouse().dpi_cpi[0], 800u);
}

TEST(CommandLineProgram, WithoutTheMouseCommandsThatSendFailWithExitOne_StoreCommandsStillWork) {
  RunningProgram::Options options = two_profiles();
  options.links = 0;
  RunningProgram program(options);
  const Reply reply = run(program, {"profile", "select", "Game"}, no_waiting());
  EXPECT_EQ(reply.exit_code, cli::kExitUnreachable);
  EXPECT_EQ(reply.err, QStringLiteral("norvane: the mouse is not connected\n"));
  EXPECT_EQ(program.page().profiles().selected_profile_index(), 0);  // nothing changed

  const Reply list = run(program, {"profile", "list", "--json"}, no_waiting());
  ASSERT_EQ(list.exit_code, 0);
  const QJsonArray rows = QJsonDocument::fromJson(list.out.toUtf8()).array();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1].toObject()["name"].toString(), QStringLiteral("Game"));
  EXPECT_TRUE(rows[0].toObject()["current"].toBool());

  const QJsonObject status = json_object(run(program, {"status", "--json"}, no_waiting()));
  EXPECT_EQ(status["links"].toArray(), QJsonArray{});
  EXPECT_TRUE(status["battery"].toObject()["level"].isNull());
}

TEST(CommandLineProgram, MacroImportListAndExportThroughTheLibrary) {
  RunningProgram program;
  const std::string file = program.data_file("jump.macro");
  MacroRecord macro;
  std::memset(&macro, 0, sizeof macro);
  set_field_name(macro.name, u"Jump");
  ASSERT_TRUE(write_macro_file(file, macro).ok());
  const std::string damaged = program.data_file("bad.macro");
  std::ofstream(damaged, std::ios::binary) << "short";

  EXPECT_EQ(run(program, {"macro", "import", QString::fromStdString(damaged)}).exit_code, cli::kExitBadInput);
  EXPECT_TRUE(program.stored_macros().empty());
  ASSERT_EQ(run(program, {"macro", "import", QString::fromStdString(file)}).exit_code, 0);
  ASSERT_EQ(run(program, {"macro", "import", QString::fromStdString(file)}).exit_code, 0);
  const std::vector<MacroRecord> stored = program.stored_macros();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(std::u16string(field_name(stored[1].name)), u"Jump_1");

  EXPECT_EQ(run(program, {"macro", "list"}).out, QStringLiteral("   1  Jump\n   2  Jump_1\n"));
  const std::string out = program.data_file("out.macro");
  ASSERT_EQ(run(program, {"macro", "export", "jump_1", QString::fromStdString(out)}).exit_code, 0);
  const MacroFileRead read = read_macro_file(out);
  ASSERT_EQ(read.problem, MacroFileProblem::none);
  EXPECT_EQ(std::u16string(field_name(read.record->name)), u"Jump_1");
}

// A later start on another thread, as a separate process would be: it sends its
// arguments over the socket and waits for the reply while the program runs.
class LaterStart {
 public:
  LaterStart(const QString& name, QStringList words) {
    words.prepend(QStringLiteral("norvane"));
    thread_ = std::thread([this, name, words] {
      SingleInstance client(name);
      answer_ = client.send_command(cli::encode_arguments(words), 60000);
      finished_ = true;
    });
  }
  ~LaterStart() { thread_.join(); }
  std::optional<Reply> reply() {
    EXPECT_TRUE(run_events_until([this] { return finished_.load(); }));
    thread_.join();
    thread_ = std::thread([] {});
    return answer_ ? cli::decode_reply(*answer_) : std::nullopt;
  }

 private:
  std::atomic<bool> finished_{false};
  std::optional<QByteArray> answer_;
  std::thread thread_;
};

TEST(CommandLineProgram, RunningInstanceCarriesOutCommandsAndItsWindowFollows) {
  RunningProgram program(two_profiles());
  program.settle();
  const QString name = QStringLiteral("NorvaneTest-") + QUuid::createUuid().toString(QUuid::Id128);
  SingleInstance instance(name);
  ASSERT_TRUE(instance.claim());
  cli::serve_commands(instance, program.page(), program_waits());

  std::optional<Reply> reply = LaterStart(name, {"profile", "select", "Game"}).reply();
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->exit_code, 0) << reply->err.toStdString();
  EXPECT_EQ(program.mouse().light_mode, 3);
  EXPECT_EQ(program.control(page_controls::kProfileList).selected_item(), 1);

  reply = LaterStart(name, {"status", "--json"}).reply();
  ASSERT_TRUE(reply);
  EXPECT_EQ(json_object(*reply)["profile"].toObject()["name"].toString(), QStringLiteral("Game"));

  reply = LaterStart(name, {"profile", "select", "Play"}).reply();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->exit_code, cli::kExitBadInput);
  reply = LaterStart(name, {"dpi"}).reply();  // parsed by the instance too: usage back
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->exit_code, cli::kExitBadInput);
  EXPECT_TRUE(reply->err.contains(QStringLiteral("Usage: norvane")));
}

TEST(CommandLineProgram, GarbledRequestsGetAnErrorReply) {
  RunningProgram program;
  const QByteArray answer = cli::answer_request("{not json", program.page(), program_waits());
  const std::optional<Reply> reply = cli::decode_reply(answer);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->exit_code, cli::kExitBadInput);
  EXPECT_FALSE(cli::decode_reply("{\"exit\":7,\"out\":\"\",\"err\":\"\"}"));
  EXPECT_FALSE(cli::decode_arguments("[\"norvane\", 3]"));
}

}  // namespace
}  // namespace norvane::testing
