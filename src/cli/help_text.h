#ifndef QORVSYNC_CLI_HELP_TEXT_H_
#define QORVSYNC_CLI_HELP_TEXT_H_

#include <QCommandLineOption>
#include <QList>
#include <QString>

// The words of "qorvsync --help", kept in one place: the command line shows
// them, and the manual page is made from them when the program is built.

// The description: paragraphs separated by an empty line; a paragraph whose
// first line ends in ":" is a list of two-column lines ("  name   what").
QString HelpDescription();

// The options besides --help and --version.
QList<QCommandLineOption> HelpOptions();

#endif  // QORVSYNC_CLI_HELP_TEXT_H_
