#ifndef QORVSYNC_LOGDB_LOG_STATEMENTS_H_
#define QORVSYNC_LOGDB_LOG_STATEMENTS_H_

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <map>
#include <memory>

#include "logdb/log_database.h"

// The prepared statements of one log table, kept for the life of the
// connection: a run of 100,000 confirmations prepares each of them once.
struct LogDatabase::TableStatements {
  bool columns_loaded = false;
  QSqlRecord columns;
  // Keyed by the kind of call comparison and the columns read.
  std::map<QString, std::unique_ptr<QSqlQuery>> lookups;
  std::unique_ptr<QSqlQuery> unsent;
  std::unique_ptr<QSqlQuery> mark_sent;
  // Keyed by the column names a change writes, as the caller spells them.
  std::map<QString, std::unique_ptr<QSqlQuery>> updates;
};

#endif  // QORVSYNC_LOGDB_LOG_STATEMENTS_H_
