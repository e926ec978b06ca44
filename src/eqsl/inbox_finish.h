#ifndef QORVSYNC_EQSL_INBOX_FINISH_H_
#define QORVSYNC_EQSL_INBOX_FINISH_H_

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "eqsl/eqsl_page.h"
#include "platform/operation_ui.h"

QString EqslErrorFilePath(const QString& program_folder);

// After the inbox lines: a non-empty error list is written to
// "eQSLccError.txt" beside the program and opened (an empty list leaves an
// earlier error file alone). Returns the next received-since date, for the
// caller to store: the range's end ("Load from Date" ticked) but never past
// the UTC date of the press, else the UTC date of the press, keeping the
// picker's time of day.
QDateTime FinishInboxRun(const EqslDates& dates, const QDateTime& start_utc,
                         const QStringList& error_list, const QString& program_folder,
                         OperationUi& ui);

#endif  // QORVSYNC_EQSL_INBOX_FINISH_H_
