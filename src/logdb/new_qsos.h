#ifndef QORVSYNC_LOGDB_NEW_QSOS_H_
#define QORVSYNC_LOGDB_NEW_QSOS_H_

#include <QList>
#include <QString>

#include "logdb/log_database.h"

// The highest rowid of `table`, 0 when it holds no row: the QSOs logged from
// now on lie above it.
qint64 HighestRowId(LogDatabase& database, const QString& table);

// The QSOs of `table` above rowid `after`, by rowid, with the columns the
// export reads (read as the unsent-QSO reading reads them).
QList<UnsentQso> ReadQsosAfter(LogDatabase& database, const QString& table, qint64 after);

#endif  // QORVSYNC_LOGDB_NEW_QSOS_H_
