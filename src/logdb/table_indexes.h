#ifndef QORVSYNC_LOGDB_TABLE_INDEXES_H_
#define QORVSYNC_LOGDB_TABLE_INDEXES_H_

#include <QString>

struct sqlite3;

// Whether `table` has an index over all its rows whose first column is
// `column` with the column's own collation: then an equality on the column
// is a search, not a scan of the table.
bool HasIndexLeadingWith(sqlite3* db, const QString& table, const QString& column);

// The name of an index over all of `table`'s rows whose first column is
// `column` compared without letter case (NOCASE), or empty: such an index
// serves a range that finds every text starting with a given prefix in any
// ASCII letter case, as LIKE does.
QString NoCaseIndexLeadingWith(sqlite3* db, const QString& table, const QString& column);

#endif  // QORVSYNC_LOGDB_TABLE_INDEXES_H_
