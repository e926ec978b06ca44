#ifndef QORVSYNC_LOGDB_STAGED_CHANGES_H_
#define QORVSYNC_LOGDB_STAGED_CHANGES_H_

#include <QByteArray>
#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>

#include "logdb/found_qso.h"

struct sqlite3;
class SqliteStatement;

// Row changes held back while a reply still arrives, to be written only once
// it has arrived whole: kept in a private temporary database on disk (SQLite
// deletes it when this closes), so that a million of them cost no memory.
// Values are kept in the form the log stores (numbers, text, null).
class StagedChanges {
 public:
  struct Change {
    QString table;
    qint64 rowid = 0;
    QsoLookup found_by;
    QList<std::pair<QString, QVariant>> values;
  };

  // Throws AppError when the temporary database cannot be made.
  StagedChanges();
  ~StagedChanges();
  StagedChanges(const StagedChanges&) = delete;
  StagedChanges& operator=(const StagedChanges&) = delete;

  void Add(const Change& change);
  // Puts the values held back for this row, in the order they were added,
  // over the fields of `record` that bear their names.
  void Overlay(const QString& table, qint64 rowid, QSqlRecord* record);
  qsizetype Count() const { return count_; }
  // Every change in the order it was added.
  void ForEach(const std::function<void(const Change&)>& take);

 private:
  sqlite3* db_ = nullptr;
  std::unique_ptr<SqliteStatement> insert_;
  std::unique_ptr<SqliteStatement> of_row_;
  qsizetype count_ = 0;
};

#endif  // QORVSYNC_LOGDB_STAGED_CHANGES_H_
