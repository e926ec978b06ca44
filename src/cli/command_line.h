#ifndef QORVSYNC_CLI_COMMAND_LINE_H_
#define QORVSYNC_CLI_COMMAND_LINE_H_

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/cli_request.h"

// The result of reading the arguments: a request to run, or text to print
// and the status to end with (help, version, a usage error).
struct ParsedCommandLine {
  std::optional<CliRequest> request;
  QString text;
  bool text_is_error = false;
  int status = 0;
  QString problem;    // a usage error in a few words
  bool json = false;  // --json was given, also when the arguments are refused
  QString command;    // the command's words, when they name one
};

// Reads the arguments (the program's name first). Every option is checked
// against the command it is given with; dates are yyyy-mm-dd.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// True when the arguments ask for the command line (a command word, --help or
// --version) rather than the window; the window's own toolkit options (such
// as -platform) keep going to the window.
bool WantsCommandLine(const QStringList& arguments);

#endif  // QORVSYNC_CLI_COMMAND_LINE_H_
