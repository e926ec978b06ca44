#include "logdb/new_qsos.h"

#include "logdb/log_statements.h"
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
    ReadUnsentQsoRow(query, &qso);
    qsos << qso;
  }
  return qsos;
}
