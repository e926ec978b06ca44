// Lookups and changes in the log tables named by Aconfig.
#include <QSqlError>
#include <QSqlField>

#include "logdb/log_database.h"
#include "logdb/log_statements.h"
#include "logdb/sql_text.h"
#include "platform/app_error.h"

namespace {

// What a lookup compares, besides the call sign. LIKE takes ESCAPE '\' so a
// "%" or "_" in a mode or call matches only itself.
const char kLookupConditions[] =
    " WHERE QSODate = :date AND DigiBand = :band AND %1"
    " AND QSOTime BETWEEN :time_from AND :time_to"
    " AND QSOMode LIKE :mode ESCAPE '\\' ORDER BY rowid LIMIT 1";

QVariant StoredForm(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::QDate:
      return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Bool:
      return value.toBool() ? 1 : 0;
    default:
      return value;
  }
}

QString TextOf(const QVariant& value) { return value.isNull() ? QString() : value.toString(); }

}  // namespace

LogDatabase::TableStatements& LogDatabase::StatementsFor(const QString& table) {
  std::unique_ptr<TableStatements>& slot = statements_[table];
  if (!slot) slot = std::make_unique<TableStatements>();
  return *slot;
}

const QSqlRecord& LogDatabase::ColumnsOf(const QString& table) {
  TableStatements& statements = StatementsFor(table);
  if (!statements.columns_loaded) {
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(QuoteIdentifier(table)))) {
      throw AppError(DatabaseErrorText(query.lastError()));
    }
    statements.columns = query.record();
    statements.columns_loaded = true;
  }
  return statements.columns;
}

QString LogDatabase::ColumnName(const QString& table, const QString& name) {
  // Checked here, because SQLite reads an unknown double-quoted name as a
  // string literal instead of failing.
  const QSqlRecord& columns = ColumnsOf(table);
  const int index = columns.indexOf(name);
  if (index < 0) ThrowFieldNotFound(name);
  return columns.fieldName(index);
}

std::optional<FoundQso> LogDatabase::FindQso(const QString& table, const QsoLookup& lookup) {
  TableStatements& statements = StatementsFor(table);
  const bool prefix = lookup.call_match == QsoLookup::CallMatch::kPrefix;
  const QString select = QStringLiteral("SELECT rowid AS rid, * FROM ") + QuoteIdentifier(table);
  QSqlQuery& query =
      prefix
          ? Prepared(statements.lookup_prefix,
                     select + QString::fromLatin1(kLookupConditions)
                                  .arg(QStringLiteral("CallSign LIKE :call ESCAPE '\\'")))
          : Prepared(
                statements.lookup_equal,
                select +
                    QString::fromLatin1(kLookupConditions).arg(QStringLiteral("CallSign = :call")));
  query.bindValue(QStringLiteral(":date"), lookup.date);
  query.bindValue(QStringLiteral(":band"), lookup.band);
  query.bindValue(QStringLiteral(":call"),
                  prefix ? EscapeLike(lookup.call) + QLatin1Char('%') : lookup.call);
  query.bindValue(QStringLiteral(":time_from"), lookup.time_from);
  query.bindValue(QStringLiteral(":time_to"), lookup.time_to);
  query.bindValue(QStringLiteral(":mode"),
                  QLatin1Char('%') + EscapeLike(lookup.mode) + QLatin1Char('%'));
  Execute(query);
  std::optional<FoundQso> found;
  // Column 0 is the rowid; column 1 the table's first column, which decides.
  if (query.next() && !TextOf(query.value(1)).isEmpty()) {
    found.emplace();
    found->rowid = query.value(0).toLongLong();
    found->record = query.record();
    found->record.remove(0);
  }
  query.finish();
  return found;
}

void LogDatabase::ChangeRow(const QString& table, qint64 rowid, const ColumnValues& values) {
  if (values.isEmpty()) return;
  QStringList names;
  for (const auto& [name, value] : values) names << ColumnName(table, name);
  std::unique_ptr<QSqlQuery>& slot = StatementsFor(table).updates[names.join(QLatin1Char('\n'))];
  if (!slot) {
    QStringList assignments;
    for (const QString& name : names) assignments << QuoteIdentifier(name) + QStringLiteral(" = ?");
    Prepared(slot, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                       .arg(QuoteIdentifier(table), assignments.join(QStringLiteral(", "))));
  }
  QSqlQuery& query = *slot;
  int position = 0;
  for (const auto& [name, value] : values) query.bindValue(position++, StoredForm(value));
  query.bindValue(position, rowid);
  BeginWriteIfBatching();
  Execute(query);
  query.finish();
  MaybeCommit();
}

QList<UnsentQso> LogDatabase::SelectUnsent(const QString& table) {
  TableStatements& statements = StatementsFor(table);
  if (!statements.unsent) {
    const QStringList read = {QStringLiteral("CallSign"), QStringLiteral("QSODate"),
                              QStringLiteral("QSOTime"),  QStringLiteral("DigiBand"),
                              QStringLiteral("QSOBand"),  QStringLiteral("QSOMode"),
                              QStringLiteral("SAT_NAME")};
    QStringList columns;
    for (const QString& name : read) columns << QuoteIdentifier(ColumnName(table, name));
    const QString sent = QuoteIdentifier(ColumnName(table, QStringLiteral("QorvSent")));
    const QString date = QuoteIdentifier(ColumnName(table, QStringLiteral("QSODate")));
    Prepared(statements.unsent,
             QStringLiteral("SELECT rowid AS rid, %1 FROM %2 WHERE %3 = 0 ORDER BY %4, rowid")
                 .arg(columns.join(QStringLiteral(", ")), QuoteIdentifier(table), sent, date));
  }
  QSqlQuery& query = *statements.unsent;
  Execute(query);
  QList<UnsentQso> rows;
  while (query.next()) {
    UnsentQso row;
    row.rowid = query.value(0).toLongLong();
    row.CallSign = TextOf(query.value(1));
    row.QSODate = TextOf(query.value(2));
    row.QSOTime = TextOf(query.value(3));
    row.DigiBand = TextOf(query.value(4));
    row.QSOBand = TextOf(query.value(5));
    row.QSOMode = TextOf(query.value(6));
    row.SAT_NAME = TextOf(query.value(7));
    rows << row;
  }
  query.finish();
  return rows;
}

void LogDatabase::MarkSent(const QString& table, const QList<qint64>& rowids) {
  TableStatements& statements = StatementsFor(table);
  if (!statements.mark_sent) {
    Prepared(statements.mark_sent,
             QStringLiteral("UPDATE %1 SET %2 = 1 WHERE rowid = ?")
                 .arg(QuoteIdentifier(table),
                      QuoteIdentifier(ColumnName(table, QStringLiteral("QorvSent")))));
  }
  QSqlQuery& query = *statements.mark_sent;
  WriteBatch batch(*this);
  for (const qint64 rowid : rowids) {
    query.bindValue(0, rowid);
    BeginWriteIfBatching();
    Execute(query);
    query.finish();
    MaybeCommit();
  }
  batch.Commit();
}
