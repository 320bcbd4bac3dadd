#include "app/cli/cli_request.h"

#include <QCommandLineParser>
#include <array>

namespace norvane::cli {

namespace {

struct VerbForm {
  const char* words;   // the command's words, space separated
  int operands;        // the number of operands after them
  Verb verb;
};

// Longer forms first, so "dpi set 2 800" is not read as "dpi" with three operands.
constexpr std::array kForms{
    VerbForm{"status", 0, Verb::status},
    VerbForm{"apply", 0, Verb::apply},
    VerbForm{"profile list", 0, Verb::profile_list},
    VerbForm{"profile select", 1, Verb::profile_select},
    VerbForm{"profile export", 2, Verb::profile_export},
    VerbForm{"profile import", 1, Verb::profile_import},
    VerbForm{"dpi set", 2, Verb::dpi_set},
    VerbForm{"dpi", 1, Verb::dpi_level},
    VerbForm{"macro list", 0, Verb::macro_list},
    VerbForm{"macro export", 2, Verb::macro_export},
    VerbForm{"macro import", 1, Verb::macro_import},
};

const char kCommands[] =
    "Commands:\n"
    "  status                       links, sleep, battery, current profile, pending changes\n"
    "  profile list                 the stored profiles (* marks the current one)\n"
    "  profile select NAME|INDEX    make a profile current and send it to the mouse\n"
    "  profile export NAME|INDEX FILE  write a profile to a .pro file\n"
    "  profile import FILE          add the profile of a .pro file, make it current and send it\n"
    "  apply                        send what is pending to the mouse\n"
    "  dpi LEVEL                    make DPI level 1..8 the current one\n"
    "  dpi set LEVEL VALUE          set the CPI of a DPI level and send it\n"
    "  macro list                   the macros of the library\n"
    "  macro export NAME|INDEX FILE write a macro to a .macro file\n"
    "  macro import FILE            add the macro of a .macro file to the library\n"
    "  --diagnose                   print what a problem report needs (alone, without a command)\n"
    "\n"
    "With a running instance the command is carried out by it, and its window follows.\n"
    "Exit codes: 0 done, 1 the mouse or the running instance could not be reached,\n"
    "2 bad arguments or input (nothing was changed).\n";

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral("Configures the mouse. Without arguments the program starts."));
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOption(QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print the answer as JSON.")));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands below."),
                               QStringLiteral("COMMAND [ARGUMENTS]"));
}

QString usage(QCommandLineParser& parser) {
  // Read before the application exists, the parser knows no program name yet.
  QString text = parser.helpText();
  text.replace(QLatin1String("<executable_name>"), QLatin1String("norvane"));
  return text + QLatin1Char('\n') + QLatin1String(kCommands);
}

ParseResult bad(QCommandLineParser& parser, const QString& why) {
  ParseResult r;
  r.exit_code = kExitBadInput;
  r.text = QStringLiteral("norvane: %1\n\n").arg(why) + usage(parser);
  return r;
}

}  // namespace

ParseResult parse_command_line(const QStringList& arguments) {
  QCommandLineParser parser;
  describe(parser);
  if (!parser.parse(arguments)) return bad(parser, parser.errorText());
  if (parser.isSet(QStringLiteral("help"))) {
    ParseResult r;
    r.text = usage(parser);
    return r;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    ParseResult r;
    r.text = QStringLiteral("norvane %1\n").arg(QStringLiteral(NORVANE_VERSION));
    return r;
  }
  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return bad(parser, QStringLiteral("no command given"));
  for (const VerbForm& form : kForms) {
    const QStringList form_words = QString::fromLatin1(form.words).split(QLatin1Char(' '));
    if (words.size() < form_words.size() || words.mid(0, form_words.size()) != form_words) continue;
    const QStringList operands = words.mid(form_words.size());
    if (form.verb == Verb::dpi_level && !operands.isEmpty() && operands.front() == QLatin1String("set")) continue;
    if (operands.size() != form.operands) {
      return bad(parser, QStringLiteral("\"%1\" takes %2 argument(s), %3 given")
                             .arg(QString::fromLatin1(form.words))
                             .arg(form.operands)
                             .arg(operands.size()));
    }
    ParseResult r;
    r.request = Request{form.verb, operands, parser.isSet(QStringLiteral("json"))};
    return r;
  }
  return bad(parser, QStringLiteral("unknown command \"%1\"").arg(words.join(QLatin1Char(' '))));
}

bool needs_mouse(Verb verb) {
  switch (verb) {
    case Verb::profile_select:
    case Verb::profile_import:
    case Verb::apply:
    case Verb::dpi_level:
    case Verb::dpi_set:
      return true;
    default:
      return false;
  }
}

}  // namespace norvane::cli
