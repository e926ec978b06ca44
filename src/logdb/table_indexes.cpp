#include "logdb/table_indexes.h"

#include <sqlite3.h>

#include "logdb/sqlite_statement.h"

bool HasIndexLeadingWith(sqlite3* db, const QString& table, const QString& column) {
  const QByteArray table_utf8 = table.toUtf8();
  const QByteArray column_utf8 = column.toUtf8();
  const char* collation = nullptr;
  if (sqlite3_table_column_metadata(db, nullptr, table_utf8.constData(), column_utf8.constData(),
                                    nullptr, &collation, nullptr, nullptr, nullptr) != SQLITE_OK) {
    return false;
  }
  // A partial index holds only some rows; an index in another collation
  // cannot serve the column's own comparison.
  SqliteStatement query(
      db, QStringLiteral("SELECT 1 FROM pragma_index_list(?1) AS l, pragma_index_xinfo(l.name) AS x"
                         " WHERE l.partial = 0 AND x.seqno = 0 AND x.name = ?2 COLLATE NOCASE"
                         " AND x.coll = ?3 COLLATE NOCASE LIMIT 1"));
  query.Bind(1, table);
  query.Bind(2, column);
  query.Bind(3, QString::fromUtf8(collation));
  return query.Step();
}

QString NoCaseIndexLeadingWith(sqlite3* db, const QString& table, const QString& column) {
  SqliteStatement query(
      db, QStringLiteral("SELECT l.name FROM pragma_index_list(?1) AS l,"
                         " pragma_index_xinfo(l.name) AS x WHERE l.partial = 0 AND x.seqno = 0"
                         " AND x.name = ?2 COLLATE NOCASE AND x.coll = 'NOCASE' COLLATE NOCASE"
                         " ORDER BY l.seq LIMIT 1"));
  query.Bind(1, table);
  query.Bind(2, column);
  return query.Step() ? query.Value(0).toString() : QString();
}
