#pragma once
// The command line of `norvane COMMAND ...`: which command, its operands and options,
// read with QCommandLineParser. `norvane` without arguments starts the program.

#include <QString>
#include <QStringList>

namespace norvane::cli {

enum class Verb {
  none,  // --help or --version: `text` is the answer
  status,
  profile_list,
  profile_select,  // operands: NAME|INDEX
  profile_export,  // operands: NAME|INDEX, FILE
  profile_import,  // operands: FILE
  apply,
  dpi_level,       // operands: LEVEL
  dpi_set,         // operands: LEVEL, VALUE
  macro_list,
  macro_export,    // operands: NAME|INDEX, FILE
  macro_import,    // operands: FILE
};

struct Request {
  Verb verb = Verb::none;
  QStringList operands;
  bool json = false;
};

// Exit codes of every command.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUnreachable = 1;  // the mouse or the running instance could not be reached
inline constexpr int kExitBadInput = 2;     // bad arguments, an unknown name, a refused file

struct ParseResult {
  Request request;
  int exit_code = kExitDone;  // kExitBadInput: `text` is the error and the usage
  QString text;               // what --help or --version prints, or the error
  bool done() const { return request.verb == Verb::none; }  // nothing left to run
};

// `arguments` is the whole command line, the program's name first.
ParseResult parse_command_line(const QStringList& arguments);

// True when the verb needs the mouse (it sends to it); the others work on the stores.
bool needs_mouse(Verb verb);

}  // namespace norvane::cli
