#include "logdb/new_qsos.h"

#include "logdb/sql_text.h"
#include "logdb/sqlite_statement.h"

qint64 HighestRowId(LogDatabase& database, const QString& table) {
  SqliteStatement query(SqliteHandle(database.Connection()),
                        QStringLiteral("SELECT max(rowid) FROM %1").arg(QuoteIdentifier(table)));
  return query.Step() ? query.Int64(0) : 0;
}

QList<UnsentQso> ReadQsosAfter(LogDatabase& database, const QString& table, qint64 after) {
  SqliteStatement query(
      SqliteHandle(database.Connection()),
      QStringLiteral("SELECT rowid, CallSign, QSODate, QSOTime, DigiBand, QSOBand, QSOMode, "
                     "SAT_NAME FROM %1 WHERE rowid > ? ORDER BY rowid")
          .arg(QuoteIdentifier(table)));
  query.Bind(1, after);
  QList<UnsentQso> qsos;
  while (query.Step()) {
    UnsentQso qso;
    qso.rowid = query.Int64(0);
    query.ReadText(1, &qso.CallSign);
    query.ReadText(2, &qso.QSODate);
    query.ReadText(3, &qso.QSOTime);
    query.ReadText(4, &qso.DigiBand);
    query.ReadText(5, &qso.QSOBand);
    query.ReadText(6, &qso.QSOMode);
    query.ReadText(7, &qso.SAT_NAME);
    qsos << qso;
  }
  return qsos;
}
