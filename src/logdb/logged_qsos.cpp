#include "logdb/logged_qsos.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "logdb/sql_text.h"
#include "logdb/sqlite_statement.h"
#include "platform/app_error.h"
#include "platform/conversions.h"

namespace {

const char kColumns[] =
    "SELECT rowid, CallSign, QSODate, QSOTime, DigiBand, QSOMode, QorvRec FROM ";

LoggedQso ReadQso(const SqliteStatement& statement) {
  LoggedQso qso;
  qso.rowid = statement.Int64(0);
  qso.call = TrimControl(statement.Text(1));
  qso.date = QDate::fromString(statement.Text(2), Qt::ISODate);
  qso.time = statement.Text(3);
  qso.band = statement.Value(4).toDouble();
  qso.mode = statement.Text(5);
  const QVariant confirmed = statement.Value(6);
  qso.confirmed = !confirmed.isNull() && confirmed.toString() != QLatin1String("0") &&
                  !confirmed.toString().isEmpty();
  return qso;
}

QList<LoggedQso> ReadAll(SqliteStatement& statement) {
  QList<LoggedQso> found;
  while (statement.Step()) found.append(ReadQso(statement));
  statement.Reset();
  return found;
}

QString Iso(const QDate& date) { return date.toString(Qt::ISODate); }

}  // namespace

QList<LoggedQso> ReadSentQsos(LogDatabase& database, const QString& table, const QDate& since) {
  SqliteStatement statement(SqliteHandle(database.Connection()),
                            QLatin1String(kColumns) + QuoteIdentifier(table) +
                                QStringLiteral(" WHERE QorvSent <> 0 AND QSODate >= ?"
                                               " ORDER BY QSODate, rowid"));
  statement.Bind(1, since.isValid() ? Iso(since) : QString());
  return ReadAll(statement);
}

std::optional<FoundQso> ReadQsoRow(LogDatabase& database, const QString& table, qint64 rowid) {
  QSqlQuery query(database.Connection());
  query.prepare(
      QStringLiteral("SELECT rowid AS rid, * FROM %1 WHERE rowid = ?").arg(QuoteIdentifier(table)));
  query.addBindValue(rowid);
  if (!query.exec()) throw AppError(DatabaseErrorText(query.lastError()));
  if (!query.next()) return std::nullopt;
  FoundQso found;
  found.rowid = query.value(0).toLongLong();
  found.record = query.record();
  found.record.remove(0);
  return found;
}

LogReadSnapshot::LogReadSnapshot(LogDatabase& database) : database_(database) {
  open_ = database_.Connection().transaction();
}

LogReadSnapshot::~LogReadSnapshot() {
  if (open_) database_.Connection().commit();
}

struct NearQsoLookups::TableLookups {
  TableLookups(sqlite3* db, const QString& table)
      : with_call(db, QLatin1String(kColumns) + QuoteIdentifier(table) +
                          QStringLiteral(" WHERE CallSign = ? AND QSODate BETWEEN ? AND ?"
                                         " ORDER BY QSODate, QSOTime, rowid")),
        on_date_and_band(db, QLatin1String(kColumns) + QuoteIdentifier(table) +
                                 QStringLiteral(" WHERE QSODate = ? AND DigiBand = ?"
                                                // A bare parameter as the pattern makes
                                                // SQLite prepare anew at every binding.
                                                " AND CallSign LIKE (? || '') ESCAPE '\\'"
                                                " ORDER BY QSOTime, rowid")) {}

  SqliteStatement with_call;
  SqliteStatement on_date_and_band;
};

NearQsoLookups::NearQsoLookups(LogDatabase& database) : database_(database) {}

NearQsoLookups::~NearQsoLookups() = default;

NearQsoLookups::TableLookups& NearQsoLookups::For(const QString& table) {
  std::unique_ptr<TableLookups>& slot = tables_[table];
  if (!slot) slot = std::make_unique<TableLookups>(SqliteHandle(database_.Connection()), table);
  return *slot;
}

QList<LoggedQso> NearQsoLookups::WithCall(const QString& table, const QString& call,
                                          const QDate& first, const QDate& last) {
  SqliteStatement& statement = For(table).with_call;
  statement.Reset();
  statement.Bind(1, call);
  statement.Bind(2, Iso(first));
  statement.Bind(3, Iso(last));
  return ReadAll(statement);
}

QList<LoggedQso> NearQsoLookups::OnDateAndBandHolding(const QString& table, const QDate& date,
                                                      double band, const QString& part) {
  SqliteStatement& statement = For(table).on_date_and_band;
  statement.Reset();
  statement.Bind(1, Iso(date));
  statement.Bind(2, band);
  statement.BindLikePattern(3, part, true, true);
  return ReadAll(statement);
}
