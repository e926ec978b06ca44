#include "cli/logged_qsos.h"

#include <QSqlQuery>

#include "logdb/sql_text.h"
#include "platform/app_error.h"

QList<LoggedQso> SelectLoggedQsos(LogDatabase& database, const QString& table,
                                  const QString& condition, const QList<QVariant>& values,
                                  const QString& order, const QString& failure) {
  QSqlQuery query(database.Connection());
  query.prepare(QStringLiteral("SELECT rowid, CallSign, QSODate, QSOTime, DigiBand, QSOMode "
                               "FROM %1 WHERE %2 ORDER BY %3")
                    .arg(QuoteIdentifier(table), condition, order));
  for (const QVariant& value : values) query.addBindValue(value);
  if (!query.exec()) throw AppError(failure + table);
  QList<LoggedQso> found;
  while (query.next()) {
    LoggedQso qso;
    qso.rowid = query.value(0).toLongLong();
    qso.call = query.value(1).toString().trimmed();
    qso.date = QDate::fromString(query.value(2).toString(), Qt::ISODate);
    qso.time = query.value(3).toString();
    qso.band = query.value(4).toDouble();
    qso.mode = query.value(5).toString();
    found.append(qso);
  }
  return found;
}
