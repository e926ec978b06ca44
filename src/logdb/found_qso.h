#ifndef QORVSYNC_LOGDB_FOUND_QSO_H_
#define QORVSYNC_LOGDB_FOUND_QSO_H_

#include <QDate>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

// What a confirmation says about the QSO it confirms. The Qorv run compares
// the call sign whole, the eQSL run as the beginning of the logged call (a
// logged N0CALL/P is the QSO of N0CALL). The mode matches anywhere in QSOMode;
// the time bounds are "hh:mm" texts and belong to the window.
struct QsoLookup {
  enum class CallMatch { kEqual, kPrefix };

  QDate date;
  double band = 0;
  QString call;
  CallMatch call_match = CallMatch::kEqual;
  QString time_from;
  QString time_to;
  QString mode;
};

// The first row a lookup found: its rowid (the key a change addresses) and
// the table's columns in table order. Column names compare without regard to
// letter case; a name that is no column: "Field '%s' not found".
struct FoundQso {
  qint64 rowid = 0;
  QSqlRecord record;
  // The look-up that found it: a change held back for later is written only
  // while the row still matches it.
  QsoLookup found_by;

  QVariant Value(const QString& column) const;
  // NULL reads as empty text; numbers with "." as decimal separator.
  QString Text(const QString& column) const;
  // A yes/no column: NULL, 0, "" and "false" read as false.
  bool Truth(const QString& column) const;
};

// "Field '%s' not found" for `column`.
[[noreturn]] void ThrowFieldNotFound(const QString& column);

#endif  // QORVSYNC_LOGDB_FOUND_QSO_H_
