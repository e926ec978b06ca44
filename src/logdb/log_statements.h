#ifndef QORVSYNC_LOGDB_LOG_STATEMENTS_H_
#define QORVSYNC_LOGDB_LOG_STATEMENTS_H_

#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <utility>

#include "logdb/log_database.h"
#include "logdb/sqlite_statement.h"

// A lookup and the record its rows fill: the table's first column and the
// columns asked for, with the table's field types.
struct LookupStatement {
  LookupStatement(sqlite3* db, const QString& sql, QSqlRecord record)
      : statement(db, sql), columns(std::move(record)) {}
  SqliteStatement statement;
  QSqlRecord columns;
};

// The prepared statements of one log table, kept for the life of the
// connection: a run of 100,000 confirmations prepares each of them once.
struct LogDatabase::TableStatements {
  bool columns_loaded = false;
  QSqlRecord columns;
  // Keyed by the kind of call comparison (prefix or whole) and the columns
  // read: a key that needs no text of its own built for every look-up.
  std::map<std::pair<bool, QStringList>, std::unique_ptr<LookupStatement>> lookups;
  std::unique_ptr<SqliteStatement> unsent;
  std::unique_ptr<SqliteStatement> unsent_count;
  std::unique_ptr<SqliteStatement> mark_sent;
  // Keyed by the column names a change writes, as the caller spells them.
  std::map<QString, std::unique_ptr<SqliteStatement>> updates;
};

#endif  // QORVSYNC_LOGDB_LOG_STATEMENTS_H_
