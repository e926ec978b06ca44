#ifndef QORVSYNC_CLI_CLI_MAIN_H_
#define QORVSYNC_CLI_CLI_MAIN_H_

#include <QStringList>
#include <cstdio>

// Runs one command line (the program's name first) without a display: the
// outcome goes to `out`, progress and messages to `err`, a progress bar when
// `err_is_terminal`. The program folder is the executable's. Returns the exit
// status. Needs a QCoreApplication.
int RunCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err,
                   bool err_is_terminal);

#endif  // QORVSYNC_CLI_CLI_MAIN_H_
