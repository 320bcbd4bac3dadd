// Reading the command line: every command with its operands, --json, --help and
// --version, and the mistakes that end in usage and exit code 2.

#include <gtest/gtest.h>

#include "app/cli/cli_request.h"
#include "app/cli/cli_wire.h"

namespace norvane::cli {
namespace {

ParseResult parse(QStringList words) {
  words.prepend(QStringLiteral("norvane"));
  return parse_command_line(words);
}

TEST(CommandLine, EachCommandWithItsOperands) {
  struct Case {
    QStringList words;
    Verb verb;
    QStringList operands;
  };
  const Case cases[] = {
      {{"status"}, Verb::status, {}},
      {{"profile", "list"}, Verb::profile_list, {}},
      {{"profile", "select", "Work"}, Verb::profile_select, {"Work"}},
      {{"profile", "export", "2", "/tmp/a b.pro"}, Verb::profile_export, {"2", "/tmp/a b.pro"}},
      {{"profile", "import", "x.pro"}, Verb::profile_import, {"x.pro"}},
      {{"apply"}, Verb::apply, {}},
      {{"dpi", "3"}, Verb::dpi_level, {"3"}},
      {{"dpi", "set", "2", "1600"}, Verb::dpi_set, {"2", "1600"}},
      {{"macro", "list"}, Verb::macro_list, {}},
      {{"macro", "export", "Jump", "j.macro"}, Verb::macro_export, {"Jump", "j.macro"}},
      {{"macro", "import", "j.macro"}, Verb::macro_import, {"j.macro"}},
      // A name that looks like a command word is an operand after the command.
      {{"profile", "select", "list"}, Verb::profile_select, {"list"}},
  };
  for (const Case& c : cases) {
    const ParseResult r = parse(c.words);
    EXPECT_EQ(r.exit_code, kExitDone) << c.words.join(' ').toStdString() << ": " << r.text.toStdString();
    EXPECT_EQ(r.request.verb, c.verb) << c.words.join(' ').toStdString();
    EXPECT_EQ(r.request.operands, c.operands) << c.words.join(' ').toStdString();
    EXPECT_FALSE(r.request.json);
  }
  EXPECT_TRUE(parse({"status", "--json"}).request.json);
  EXPECT_TRUE(parse({"--json", "profile", "list"}).request.json);
  // "--" lets a file name start with a dash.
  EXPECT_EQ(parse({"profile", "import", "--", "-odd.pro"}).request.operands, QStringList{"-odd.pro"});
}

TEST(CommandLine, MistakesEndInUsageAndExitTwo) {
  for (const QStringList& words :
       {QStringList{"frobnicate"}, QStringList{"profile"}, QStringList{"profile", "select"},
        QStringList{"profile", "select", "a", "b"}, QStringList{"dpi"}, QStringList{"dpi", "set", "2"},
        QStringList{"dpi", "1", "2"}, QStringList{"status", "--colour"}, QStringList{"macro", "delete", "x"}}) {
    const ParseResult r = parse(words);
    EXPECT_EQ(r.exit_code, kExitBadInput) << words.join(' ').toStdString();
    EXPECT_TRUE(r.done());
    EXPECT_TRUE(r.text.startsWith(QStringLiteral("norvane: "))) << r.text.toStdString();
    EXPECT_TRUE(r.text.contains(QStringLiteral("Usage: norvane"))) << r.text.toStdString();
  }
}

TEST(CommandLine, HelpAndVersionAnswerWithoutACommand) {
  const ParseResult help = parse({"--help"});
  EXPECT_EQ(help.exit_code, kExitDone);
  EXPECT_TRUE(help.done());
  EXPECT_TRUE(help.text.contains(QStringLiteral("profile select NAME|INDEX")));
  const ParseResult version = parse({"--version"});
  EXPECT_EQ(version.exit_code, kExitDone);
  EXPECT_EQ(version.text, QStringLiteral("norvane " NORVANE_VERSION "\n"));
}

TEST(CommandLine, OnlyCommandsThatSendNeedTheMouse) {
  EXPECT_TRUE(needs_mouse(Verb::profile_select));
  EXPECT_TRUE(needs_mouse(Verb::profile_import));
  EXPECT_TRUE(needs_mouse(Verb::dpi_set));
  EXPECT_FALSE(needs_mouse(Verb::profile_export));
  EXPECT_FALSE(needs_mouse(Verb::macro_import));
  EXPECT_FALSE(needs_mouse(Verb::status));
}

TEST(CommandLine, WireRoundTripAndRefusals) {
  const QStringList words{"norvane", "profile", "select", "Jeu \xc3\xa9t\xc3\xa9"};
  EXPECT_EQ(decode_arguments(encode_arguments(words)), words);
  const Reply reply{1, QStringLiteral("out\n"), QStringLiteral("norvane: why\n")};
  const std::optional<Reply> back = decode_reply(encode_reply(reply));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->exit_code, 1);
  EXPECT_EQ(back->out, reply.out);
  EXPECT_EQ(back->err, reply.err);
  EXPECT_FALSE(decode_arguments("{\"a\":1}"));
  EXPECT_FALSE(decode_reply("[]"));
  EXPECT_FALSE(decode_reply("{\"exit\":0,\"out\":1,\"err\":\"\"}"));
}

}  // namespace
}  // namespace norvane::cli
