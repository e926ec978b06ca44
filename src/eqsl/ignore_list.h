#ifndef QORVSYNC_EQSL_IGNORE_LIST_H_
#define QORVSYNC_EQSL_IGNORE_LIST_H_

#include <QString>
#include <QStringList>

#include "platform/operation_ui.h"

// The call signs whose unmatched eQSLs stay out of the error file: "ignore.txt"
// beside the program, one call sign per line, edited by the user.

QString IgnoreListPath(const QString& program_folder);

// The lines of "ignore.txt" as they stand (not trimmed, empty lines kept);
// empty when the file does not exist.
QStringList LoadIgnoreList(const QString& program_folder);

// True when one line equals the call sign as a whole, letters compared
// without regard to case.
bool IsIgnored(const QStringList& ignore_list, const QString& call);

// The work of the "Ignore List" button: creates an empty "ignore.txt" when there is none,
// then opens it in the text editor. The list is read at the next run.
void OpenIgnoreList(const QString& program_folder, OperationUi& ui);

#endif  // QORVSYNC_EQSL_IGNORE_LIST_H_
