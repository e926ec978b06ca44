#ifndef QORVSYNC_CLI_LOGGED_QSOS_H_
#define QORVSYNC_CLI_LOGGED_QSOS_H_

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include "logdb/log_database.h"

// A QSO of a log table as the diagnostic commands show it.
struct LoggedQso {
  qint64 rowid = 0;
  QString call;  // trimmed
  QDate date;
  QString time;  // QSOTime as stored
  double band = 0;
  QString mode;
};

// The QSOs of `table` that meet `condition` (SQL with "?" for `values`, in
// order), sorted by `order`. Throws AppError with `failure` and the table's
// name when the table cannot be read.
QList<LoggedQso> SelectLoggedQsos(LogDatabase& database, const QString& table,
                                  const QString& condition, const QList<QVariant>& values,
                                  const QString& order, const QString& failure);

#endif  // QORVSYNC_CLI_LOGGED_QSOS_H_
