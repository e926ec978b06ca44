#ifndef QORVSYNC_LOGDB_SQL_TEXT_H_
#define QORVSYNC_LOGDB_SQL_TEXT_H_

#include <QSqlError>
#include <QString>

// A table or column name as an SQL identifier: in double quotes, inner
// quotes doubled, so the name can never end the identifier.
QString QuoteIdentifier(const QString& name);

// Makes `text` match only itself inside a LIKE pattern that uses
// ESCAPE '\': "%", "_" and "\" get a backslash.
QString EscapeLike(const QString& text);

// The database's own text of an error, for the user.
QString DatabaseErrorText(const QSqlError& error);

#endif  // QORVSYNC_LOGDB_SQL_TEXT_H_
