#ifndef QORVSYNC_EQSL_INBOX_FINISH_H_
#define QORVSYNC_EQSL_INBOX_FINISH_H_

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "eqsl/eqsl_page.h"
#include "platform/operation_ui.h"
#include "session/logbook_registry_keys.h"

// The registry value that keeps the received-since date for the next start,
// in the logbook's Qorv dialog key.
inline constexpr char kEqslDateValue[] = "eQSLDate_Date";

QString EqslErrorFilePath(const QString& program_folder);

// After the inbox lines: the received-since date moves to the range's end
// ("Load from Date" ticked) but never past the UTC date of the press, else to
// the UTC date of the press, keeping the picker's time of day, and is stored
// in the registry; a non-empty error list is written to "eQSLccError.txt"
// beside the program and opened. An empty list leaves an earlier error file
// alone.
void FinishInboxRun(EqslDatePage& page, const QDateTime& start_utc, const QStringList& error_list,
                    const QString& program_folder, OperationUi& ui);

#endif  // QORVSYNC_EQSL_INBOX_FINISH_H_
