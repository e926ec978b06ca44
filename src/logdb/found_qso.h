#ifndef QORVSYNC_LOGDB_FOUND_QSO_H_
#define QORVSYNC_LOGDB_FOUND_QSO_H_

#include <QSqlRecord>
#include <QString>
#include <QVariant>

// The first row a lookup found: its rowid (the key a change addresses) and
// the table's columns in table order. Column names compare without regard to
// letter case; a name that is no column: "Field '%s' not found".
struct FoundQso {
  qint64 rowid = 0;
  QSqlRecord record;

  QVariant Value(const QString& column) const;
  // NULL reads as empty text; numbers with "." as decimal separator.
  QString Text(const QString& column) const;
  // A yes/no column: NULL, 0, "" and "false" read as false.
  bool Truth(const QString& column) const;
};

// "Field '%s' not found" for `column`.
[[noreturn]] void ThrowFieldNotFound(const QString& column);

#endif  // QORVSYNC_LOGDB_FOUND_QSO_H_
