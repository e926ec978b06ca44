// Lookups and changes in the log tables named by Aconfig.
#include <sqlite3.h>

#include <QSqlError>
#include <QSqlField>
#include <algorithm>
#include <iterator>
#include <utility>

#include "logdb/date_calls.h"
#include "logdb/log_database.h"
#include "logdb/log_statements.h"
#include "logdb/sql_text.h"
#include "logdb/staged_changes.h"
#include "logdb/table_indexes.h"
#include "platform/app_error.h"

namespace {

// What a lookup compares, besides the call sign. LIKE takes ESCAPE '\' so a
// "%" or "_" in a mode or call matches only itself. A LIKE pattern that is a
// bare parameter makes SQLite prepare the statement anew at every binding
// (it may plan an index range from the pattern), which costs three times the
// search itself; "(? || '')" is the same text without that.
const char kLookupConditions[] =
    "QSODate = ?1 AND DigiBand = ?2 AND %1"
    " AND QSOTime BETWEEN ?4 AND ?5"
    " AND QSOMode LIKE (?6 || '') ESCAPE '\\'%2";

// The call index alone leads to every QSO of the call, and in a big log a
// busy call has hundreds, each read from a page of its own: the look-up would
// cost more the bigger the log. The QSOs of the date lie between the lowest
// and the highest rowid of that date (?9 and ?10), which the date index gives
// in two seeks (DateRowids); the call index holds the rowid after the call,
// so it then reads only the call's entries in that range. Without a date
// index the two seeks would scan the table, so the range is used only when
// the index is there.
const char kDateRowidRange[] = " AND rowid BETWEEN ?9 AND ?10";

// The bindings of a row change: the look-up conditions take 1 to 6, as in a
// look-up; then the rowid, then the values.
constexpr int kRowidPosition = 9;
constexpr int kFirstAssignment = 10;

// A prefix of a call cannot search the call index by equality, and the date
// index reads every QSO of the date, as many as the log is big. A call LIKE
// the prefix either equals it without letter case, which a NOCASE call index
// finds with the date's rowids as above, or lies after it and before the
// prefix followed by a byte no UTF-8 text holds: a range of the same index
// that holds only the longer calls ("/P", "/MM"), checked against the date's
// rowids before any row is read. The first row of the two is the one found;
// the LIKE stays the judge. The longer calls do not come in rowid order, and
// "ORDER BY rowid LIMIT 1" over the two would build a sorter at every look-up;
// min() needs none, and the row it names is then one seek.
const char kPrefixLookup[] =
    "SELECT %1 FROM %2 WHERE rowid = (SELECT min(r) FROM ("
    "SELECT rowid AS r FROM %3 WHERE CallSign COLLATE NOCASE = ?7 AND %4"
    " UNION ALL SELECT rowid FROM %3 WHERE CallSign COLLATE NOCASE > ?7"
    " AND CallSign COLLATE NOCASE < ?8 AND %4))";

// "YYYY-MM-DD", as the log stores dates, into `text`; false for an invalid
// date, which matches nothing. Built by hand: it runs for every table of
// every confirmation.
bool IsoDateChars(QDate date, char (&text)[10]) {
  int year = 0;
  int month = 0;
  int day = 0;
  date.getDate(&year, &month, &day);
  if (!date.isValid() || year < 0 || year > 9999) return false;
  const auto digit = [](int value) { return static_cast<char>('0' + value % 10); };
  const char iso[] = {digit(year / 1000),
                      digit(year / 100),
                      digit(year / 10),
                      digit(year),
                      '-',
                      digit(month / 10),
                      digit(month),
                      '-',
                      digit(day / 10),
                      digit(day)};
  std::copy(std::begin(iso), std::end(iso), text);
  return true;
}

QString IsoDate(QDate date) {
  char text[10];
  return IsoDateChars(date, text) ? QString::fromLatin1(text, 10) : QString();
}

QVariant StoredForm(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::QDate:
      return IsoDate(value.toDate());
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

std::optional<FoundQso> LogDatabase::FindQso(const QString& table, const QsoLookup& lookup,
                                             const QStringList& columns) {
  const bool prefix = lookup.call_match == QsoLookup::CallMatch::kPrefix;
  TableStatements& statements = StatementsFor(table);
  std::vector<TableStatements::Lookup>& lookups = statements.lookups;
  auto known = std::find_if(lookups.begin(), lookups.end(), [&](const auto& lookup) {
    return lookup.prefix == prefix && lookup.columns == columns;
  });
  if (known == lookups.end()) known = lookups.insert(lookups.end(), {prefix, columns, nullptr});
  std::unique_ptr<LookupStatement>& slot = known->statement;
  if (!slot) {
    // The table's first column decides whether a row counts as found; of the
    // columns asked for, those the table lacks are left out, so that reading
    // them gives "Field '%s' not found" as a missing column does.
    const QSqlRecord& table_columns = ColumnsOf(table);
    QSqlRecord record;
    QStringList select;
    for (int index = 0; index < table_columns.count(); ++index) {
      if (index == 0 || columns.isEmpty() ||
          columns.contains(table_columns.fieldName(index), Qt::CaseInsensitive)) {
        record.append(table_columns.field(index));
        select << QuoteIdentifier(table_columns.fieldName(index));
      }
    }
    sqlite3* handle = SqliteHandle(db_);
    const QString quoted = QuoteIdentifier(table);
    const bool by_date_rowids = HasIndexLeadingWith(handle, table, QStringLiteral("QSODate"));
    const QString date_range = by_date_rowids ? QString::fromLatin1(kDateRowidRange) : QString();
    const QString call_index =
        prefix ? NoCaseIndexLeadingWith(handle, table, QStringLiteral("CallSign")) : QString();
    const QString selected = QStringLiteral("rowid AS rid, ") + select.join(QStringLiteral(", "));
    const QString like = QStringLiteral("CallSign LIKE (?3 || '') ESCAPE '\\'");
    const QString conditions = QString::fromLatin1(kLookupConditions);
    QString sql;
    if (prefix && !call_index.isEmpty()) {
      sql = QString::fromLatin1(kPrefixLookup)
                .arg(selected, quoted,
                     quoted + QStringLiteral(" INDEXED BY ") + QuoteIdentifier(call_index),
                     conditions.arg(like, date_range));
    } else {
      sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY rowid LIMIT 1")
                .arg(selected, quoted,
                     prefix ? conditions.arg(like, QString())
                            : conditions.arg(QStringLiteral("CallSign = ?3"), date_range));
    }
    slot = std::make_unique<LookupStatement>(handle, sql, record);
    slot->prefix_range = prefix && !call_index.isEmpty();
    slot->date_rowids = by_date_rowids && (!prefix || !call_index.isEmpty());
    if (slot->date_rowids) {
      slot->one_row = std::make_unique<SqliteStatement>(
          handle,
          QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?9 AND %3")
              .arg(selected, quoted,
                   conditions.arg(prefix ? like : QStringLiteral("CallSign = ?3"), QString())));
    }
  }
  const LookupTexts& texts = TextsOf(lookup);
  BeginReadIfHoldingBack();
  std::optional<FoundQso> found;
  std::optional<std::pair<qint64, qint64>> rowids;
  if (slot->date_rowids) {
    rowids = DateRowids(table, texts.date);
    // No QSO on that date: nothing to look for.
    if (!rowids) return found;
  }
  const auto bind_lookup = [&](SqliteStatement& query) {
    query.Reset();
    query.BindUtf8(1, texts.date);
    query.Bind(2, lookup.band);
    query.BindUtf8(3, texts.call);
    query.BindUtf8(4, texts.time_from);
    query.BindUtf8(5, texts.time_to);
    query.BindUtf8(6, texts.mode);
  };
  // The first row found decides: column 0 is the rowid, column 1 the table's
  // first column, which must not read as empty.
  const auto take_row = [&](SqliteStatement& query) {
    if (!TextOf(query.Value(1)).isEmpty()) {
      found.emplace();
      found->rowid = query.Int64(0);
      found->record = slot->columns;
      found->found_by = lookup;
      for (int index = 0; index < found->record.count(); ++index) {
        found->record.setValue(index, query.Value(index + 1));
      }
    }
    query.Reset();
  };
  if (DateCalls* calls = rowids ? CallsOfDate(table, statements, texts.date, *rowids) : nullptr) {
    // The rows of the date with the call, in rowid order, each asked whether
    // the look-up's conditions accept it.
    SqliteStatement& query = *slot->one_row;
    bind_lookup(query);
    calls->RowsOf(prefix ? texts.call_from : texts.call, prefix, &candidate_rowids_);
    for (const qint64 rowid : candidate_rowids_) {
      query.Bind(9, rowid);
      if (query.Step()) {
        take_row(query);
        break;
      }
      query.Reset();
    }
  } else {
    SqliteStatement& query = slot->statement;
    bind_lookup(query);
    if (rowids) {
      query.Bind(9, rowids->first);
      query.Bind(10, rowids->second);
    }
    if (slot->prefix_range) {
      query.BindUtf8(7, texts.call_from);
      query.BindUtf8(8, texts.call_to);
    }
    if (query.Step()) {
      take_row(query);
    } else {
      query.Reset();
    }
  }
  // A row a change is held back for reads as it will be once written.
  if (found && staged_) staged_->Overlay(table, found->rowid, &found->record);
  return found;
}

DateCalls* LogDatabase::CallsOfDate(const QString& table, TableStatements& statements,
                                    const QByteArray& date, std::pair<qint64, qint64> rowids) {
  // Only within a transaction: outside one, the logbook may add a QSO of the
  // date between two look-ups.
  if (!in_transaction_ && !reading_) return nullptr;
  DateCalls& calls = statements.date_calls;
  calls.Ask(date, snapshot_, rowids);
  if (calls.Holds(date, snapshot_)) return &calls;
  if (!calls.WorthReading()) return nullptr;
  if (!statements.date_calls_query) {
    statements.date_calls_query = std::make_unique<SqliteStatement>(
        SqliteHandle(db_), QStringLiteral("SELECT rowid, CallSign FROM %1 WHERE QSODate = ?1")
                               .arg(QuoteIdentifier(table)));
  }
  SqliteStatement& query = *statements.date_calls_query;
  query.Reset();
  query.BindUtf8(1, date);
  calls.Read(query, date, snapshot_);
  return &calls;
}

void LogDatabase::ForgetDatesIfMoved(const QString& table, const ColumnValues& values) {
  for (const auto& [name, value] : values) {
    if (name.compare(QLatin1String("QSODate"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("CallSign"), Qt::CaseInsensitive) == 0) {
      TableStatements& statements = StatementsFor(table);
      statements.date_calls.Forget();
      statements.date_rowids.snapshot = 0;
      return;
    }
  }
}

std::optional<std::pair<qint64, qint64>> LogDatabase::DateRowids(const QString& table,
                                                                 const QByteArray& date) {
  TableStatements& statements = StatementsFor(table);
  TableStatements::DateRowids& known = statements.date_rowids;
  // Kept for the transaction it was read in: a report's records come in date
  // order, so the next look-ups ask for the same date, and in a later
  // transaction the logbook may have added a QSO of that date.
  const bool in_snapshot = in_transaction_ || reading_;
  if (in_snapshot && known.snapshot == snapshot_ && known.date == date) return known.rowids;
  if (!statements.date_rowids_query) {
    statements.date_rowids_query = std::make_unique<SqliteStatement>(
        // Apart, each is one seek at an end of the date's index entries; in
        // one SELECT they would read all of them.
        SqliteHandle(db_), QStringLiteral("SELECT (SELECT min(rowid) FROM %1 WHERE QSODate = ?1),"
                                          " (SELECT max(rowid) FROM %1 WHERE QSODate = ?1)")
                               .arg(QuoteIdentifier(table)));
  }
  SqliteStatement& query = *statements.date_rowids_query;
  query.Reset();
  query.BindUtf8(1, date);
  known.rowids.reset();
  if (query.Step() && query.Value(0).isValid()) {
    known.rowids.emplace(query.Int64(0), query.Int64(1));
  }
  query.Reset();
  known.date = date;
  known.snapshot = in_snapshot ? snapshot_ : 0;
  return known.rowids;
}

const LogDatabase::LookupTexts& LogDatabase::TextsOf(const QsoLookup& lookup) {
  if (lookup_texts_) {
    const QsoLookup& made = lookup_texts_->lookup;
    if (made.date == lookup.date && made.call_match == lookup.call_match &&
        made.call == lookup.call && made.time_from == lookup.time_from &&
        made.time_to == lookup.time_to && made.mode == lookup.mode) {
      return *lookup_texts_;
    }
  } else {
    lookup_texts_ = std::make_unique<LookupTexts>();
  }
  LookupTexts& texts = *lookup_texts_;
  texts.lookup = lookup;
  char date[10];
  texts.date = QByteArray(date, IsoDateChars(lookup.date, date) ? 10 : 0);
  if (lookup.call_match == QsoLookup::CallMatch::kPrefix) {
    WriteLikePattern(lookup.call, false, true, &texts.call);
    WriteUtf8(lookup.call, &texts.call_from);
    texts.call_to = texts.call_from;
    texts.call_to.append('\xFF');
  } else {
    WriteUtf8(lookup.call, &texts.call);
  }
  WriteUtf8(lookup.time_from, &texts.time_from);
  WriteUtf8(lookup.time_to, &texts.time_to);
  WriteLikePattern(lookup.mode, true, true, &texts.mode);
  return texts;
}

SqliteStatement& LogDatabase::UpdateStatement(const QString& table, const ColumnValues& values,
                                              UpdateGuard guard) {
  std::vector<TableStatements::Update>& updates = StatementsFor(table).updates;
  auto known = std::find_if(updates.begin(), updates.end(), [&](const auto& update) {
    return update.guard == guard &&
           std::equal(update.names.begin(), update.names.end(), values.begin(), values.end(),
                      [](const QString& name, const auto& value) { return name == value.first; });
  });
  if (known == updates.end()) {
    QStringList names;
    for (const auto& [name, value] : values) names << name;
    known = updates.insert(updates.end(), {names, guard, nullptr});
  }
  std::unique_ptr<SqliteStatement>& slot = known->statement;
  if (!slot) {
    // Names are checked once per set of names: an unknown one never gets a
    // statement, so it fails at every change.
    QStringList assignments;
    int position = kFirstAssignment;
    for (const auto& [name, value] : values) {
      assignments << QuoteIdentifier(ColumnName(table, name)) +
                         QStringLiteral(" = ?%1").arg(position++);
    }
    QString condition = QStringLiteral("rowid = ?%1").arg(kRowidPosition);
    if (guard != UpdateGuard::kNone) {
      condition += QStringLiteral(" AND ") +
                   QString::fromLatin1(kLookupConditions)
                       .arg(guard == UpdateGuard::kPrefix
                                ? QStringLiteral("CallSign LIKE (?3 || '') ESCAPE '\\'")
                                : QStringLiteral("CallSign = ?3"),
                            QString());
    }
    slot = std::make_unique<SqliteStatement>(
        SqliteHandle(db_),
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(QuoteIdentifier(table), assignments.join(QStringLiteral(", ")), condition));
  }
  return *slot;
}

void LogDatabase::ChangeRow(const QString& table, qint64 rowid, const ColumnValues& values) {
  if (values.isEmpty()) return;
  SqliteStatement& query = UpdateStatement(table, values, UpdateGuard::kNone);
  query.Reset();
  int position = kFirstAssignment;
  for (const auto& [name, value] : values) query.Bind(position++, StoredForm(value));
  query.Bind(kRowidPosition, rowid);
  BeginWriteIfBatching();
  query.Step();
  query.Reset();
  ForgetDatesIfMoved(table, values);
  MaybeCommit();
}

void LogDatabase::ChangeFoundRow(const QString& table, const FoundQso& found,
                                 const ColumnValues& values) {
  if (!staged_) {
    ChangeRow(table, found.rowid, values);
    return;
  }
  if (values.isEmpty()) return;
  // An unknown name fails here, at the record that asked for it, as a
  // change written at once would.
  UpdateStatement(table, values, GuardOf(found.found_by));
  StagedChanges::Change change{table, found.rowid, found.found_by, {}};
  for (const auto& [name, value] : values) change.values.append({name, StoredForm(value)});
  staged_->Add(change);
}

void LogDatabase::HoldBackChanges(StagedChanges* staged) {
  if (!staged) EndReading();
  staged_ = staged;
}

void LogDatabase::WriteStagedChanges(StagedChanges& staged,
                                     const std::function<void(const QString&, bool)>& written) {
  WriteBatch batch(*this);
  staged.ForEach([&](const StagedChanges::Change& change) {
    SqliteStatement& query = UpdateStatement(change.table, change.values, GuardOf(change.found_by));
    query.Reset();
    const LookupTexts& texts = TextsOf(change.found_by);
    query.BindUtf8(1, texts.date);
    query.Bind(2, change.found_by.band);
    query.BindUtf8(3, texts.call);
    query.BindUtf8(4, texts.time_from);
    query.BindUtf8(5, texts.time_to);
    query.BindUtf8(6, texts.mode);
    int position = kFirstAssignment;
    for (const auto& [name, value] : change.values) query.Bind(position++, value);
    query.Bind(kRowidPosition, change.rowid);
    BeginWriteIfBatching();
    query.Step();
    const bool changed = sqlite3_changes(SqliteHandle(db_)) > 0;
    query.Reset();
    MaybeCommit();
    written(change.table, changed);
  });
  batch.Commit();
}

void ReadUnsentQsoRow(const SqliteStatement& query, UnsentQso* qso) {
  qso->rowid = query.Int64(0);
  query.ReadText(1, &qso->CallSign);
  query.ReadText(2, &qso->QSODate);
  query.ReadText(3, &qso->QSOTime);
  query.ReadText(4, &qso->DigiBand);
  query.ReadText(5, &qso->QSOBand);
  query.ReadText(6, &qso->QSOMode);
  query.ReadText(7, &qso->SAT_NAME);
}

void LogDatabase::ReadUnsent(const QString& table, const std::function<void(qint64)>& count,
                             const std::function<bool(const UnsentQso&)>& row) {
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
    statements.unsent = std::make_unique<SqliteStatement>(
        SqliteHandle(db_),
        QStringLiteral("SELECT rowid AS rid, %1 FROM %2 WHERE %3 = 0 ORDER BY %4, rowid")
            .arg(columns.join(QStringLiteral(", ")), QuoteIdentifier(table), sent, date));
    statements.unsent_count = std::make_unique<SqliteStatement>(
        SqliteHandle(db_),
        QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 0").arg(QuoteIdentifier(table), sent));
  }
  SqliteStatement& counted = *statements.unsent_count;
  SqliteStatement& query = *statements.unsent;
  // One read transaction, so the number told first is the number of rows
  // that follow, whatever the logbook writes meanwhile.
  const bool own_transaction = !in_transaction_;
  if (own_transaction) ExecuteText(QStringLiteral("BEGIN"));
  try {
    counted.Reset();
    count(counted.Step() ? counted.Int64(0) : 0);
    counted.Reset();
    query.Reset();
    UnsentQso current;
    while (query.Step()) {
      ReadUnsentQsoRow(query, &current);
      if (!row(current)) break;
    }
  } catch (...) {
    counted.Reset();
    query.Reset();
    if (own_transaction) {
      try {
        ExecuteText(QStringLiteral("ROLLBACK"));
      } catch (const AppError&) {
      }
    }
    throw;
  }
  query.Reset();
  if (own_transaction) ExecuteText(QStringLiteral("COMMIT"));
}

void LogDatabase::MarkSent(const QString& table, const QList<qint64>& rowids) {
  TableStatements& statements = StatementsFor(table);
  if (!statements.mark_sent) {
    statements.mark_sent = std::make_unique<SqliteStatement>(
        SqliteHandle(db_),
        QStringLiteral("UPDATE %1 SET %2 = 1 WHERE rowid = ?")
            .arg(QuoteIdentifier(table),
                 QuoteIdentifier(ColumnName(table, QStringLiteral("QorvSent")))));
  }
  SqliteStatement& query = *statements.mark_sent;
  WriteBatch batch(*this);
  for (const qint64 rowid : rowids) {
    query.Bind(1, rowid);
    BeginWriteIfBatching();
    query.Step();
    query.Reset();
    MaybeCommit();
  }
  batch.Commit();
}
