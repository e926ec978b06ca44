#ifndef QORVSYNC_UPLOAD_EXPORT_FILE_H_
#define QORVSYNC_UPLOAD_EXPORT_FILE_H_

#include <QList>
#include <QString>
#include <optional>

#include "logdb/log_database.h"
#include "platform/operation_ui.h"
#include "upload/export_format.h"
#include "upload/submode_table.h"

// The export file as written: its full path and the rows that went into it,
// the only rows the upload may mark as sent, each with the key that finds it
// in the signed file (keys[i] belongs to rowids[i]).
struct ExportedFile {
  QString path;
  QList<qint64> rowids;
  QList<ExportedKey> keys;
};

// Writes the log table's unsent QSOs into a new export file in `folder`
// (created when missing, one level), named from the local clock, in the ANSI
// code page with CR LF. Moves the progress bar and lets the window's events
// run as it goes. With no unsent QSO it tells the user "No new QSO.", sets
// `*nothing_new` (when given) and writes nothing. A QSO whose date or time cannot be read ends the
// export with the message "Error in callsign <call>" and gives nothing; the file stays as far as
// written. File errors throw AppError.
std::optional<ExportedFile> WriteExportFile(OperationUi& ui, const QString& folder,
                                            LogDatabase& database, const QString& table,
                                            const SubmodeTable& submodes,
                                            bool* nothing_new = nullptr);

#endif  // QORVSYNC_UPLOAD_EXPORT_FILE_H_
