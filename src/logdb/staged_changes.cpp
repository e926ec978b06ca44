#include "logdb/staged_changes.h"

#include <sqlite3.h>

#include <QDataStream>
#include <QIODevice>

#include "logdb/sqlite_statement.h"
#include "platform/app_error.h"

namespace {

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const QString text = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    throw AppError(text);
  }
}

QByteArray Packed(const QList<std::pair<QString, QVariant>>& values) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << static_cast<qint32>(values.size());
  for (const auto& [name, value] : values) out << name << value;
  return bytes;
}

QList<std::pair<QString, QVariant>> Unpacked(const QByteArray& bytes) {
  QDataStream in(bytes);
  qint32 n = 0;
  in >> n;
  QList<std::pair<QString, QVariant>> values;
  for (qint32 i = 0; i < n; ++i) {
    std::pair<QString, QVariant> value;
    in >> value.first >> value.second;
    values << value;
  }
  return values;
}

}  // namespace

StagedChanges::StagedChanges() {
  // An empty name opens a temporary database of its own, on disk. One thread
  // uses it, so it takes no lock at every call.
  if (sqlite3_open_v2("", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    const QString text = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_close(db_);
    throw AppError(text);
  }
  try {
    // Nothing here outlives the program: no journal, no syncing, and one
    // transaction that is never committed.
    Exec(db_,
         "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
         "CREATE TABLE changes (seq INTEGER PRIMARY KEY, tbl TEXT, rid INTEGER, qso_date INTEGER,"
         " band REAL, call TEXT, prefix INTEGER, time_from TEXT, time_to TEXT, mode TEXT,"
         " vals BLOB);"
         "CREATE INDEX changes_row ON changes (tbl, rid, seq);"
         "BEGIN");
    insert_ = std::make_unique<SqliteStatement>(
        db_,
        QStringLiteral("INSERT INTO changes (tbl, rid, qso_date, band, call, prefix,"
                       " time_from, time_to, mode, vals) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    of_row_ = std::make_unique<SqliteStatement>(
        db_, QStringLiteral("SELECT vals FROM changes WHERE tbl = ? AND rid = ? ORDER BY seq"));
  } catch (...) {
    insert_.reset();
    sqlite3_close(db_);
    throw;
  }
}

StagedChanges::~StagedChanges() {
  insert_.reset();
  of_row_.reset();
  sqlite3_close(db_);
}

void StagedChanges::Add(const Change& change) {
  SqliteStatement& query = *insert_;
  query.Reset();
  query.Bind(1, change.table);
  query.Bind(2, change.rowid);
  const QsoLookup& lookup = change.found_by;
  query.Bind(3, lookup.date.isValid() ? QVariant(lookup.date.toJulianDay()) : QVariant());
  query.Bind(4, lookup.band);
  query.Bind(5, lookup.call);
  query.Bind(6, static_cast<qint64>(lookup.call_match == QsoLookup::CallMatch::kPrefix));
  query.Bind(7, lookup.time_from);
  query.Bind(8, lookup.time_to);
  query.Bind(9, lookup.mode);
  query.BindBlob(10, Packed(change.values));
  query.Step();
  query.Reset();
  ++count_;
}

void StagedChanges::Overlay(const QString& table, qint64 rowid, QSqlRecord* record) {
  if (count_ == 0) return;
  SqliteStatement& query = *of_row_;
  query.Reset();
  query.Bind(1, table);
  query.Bind(2, rowid);
  while (query.Step()) {
    for (const auto& [name, value] : Unpacked(query.Blob(0))) {
      const int index = record->indexOf(name);
      if (index >= 0) record->setValue(index, value);
    }
  }
  query.Reset();
}

void StagedChanges::ForEach(const std::function<void(const Change&)>& take) {
  SqliteStatement query(db_, QStringLiteral("SELECT tbl, rid, qso_date, band, call, prefix,"
                                            " time_from, time_to, mode, vals FROM changes"
                                            " ORDER BY seq"));
  Change change;
  while (query.Step()) {
    change.table = query.Text(0);
    change.rowid = query.Int64(1);
    const QVariant day = query.Value(2);
    change.found_by.date = day.isNull() ? QDate() : QDate::fromJulianDay(day.toLongLong());
    change.found_by.band = query.Value(3).toDouble();
    change.found_by.call = query.Text(4);
    change.found_by.call_match =
        query.Int64(5) ? QsoLookup::CallMatch::kPrefix : QsoLookup::CallMatch::kEqual;
    change.found_by.time_from = query.Text(6);
    change.found_by.time_to = query.Text(7);
    change.found_by.mode = query.Text(8);
    change.values = Unpacked(query.Blob(9));
    take(change);
  }
}
