#ifndef QORVSYNC_CONFIRMATIONS_PENDING_QSL_H_
#define QORVSYNC_CONFIRMATIONS_PENDING_QSL_H_

#include <QDate>
#include <QString>

#include "logdb/log_database.h"

// The record buffer of a confirmation run (each run holds its own): the values
// of the record being read, gathered line by line. The Qorv and the eQSL runs
// read into the same kind of record.
struct PendingQslRecord {
  QString Call;
  QString Band;      // the log's DigiBand value text; empty for a band the table lacks
  QString BandText;  // the BAND value as read, for the error list
  QString Mode;
  QString SubMode;
  QString QsoDateText;
  QDate QsoDate;
  bool HasQsoDate = false;
  QString TimeOn;  // "hh:mm"
  QString TimeFrom;
  QString TimeTo;
  bool HasTimeWindow = false;
  QDate QslRDate;  // kept as a date, never as locale text
  bool HasQslRDate = false;
  QString GridSquare;
  QString StateCode;
  QString Iota;
  QString County;
  QString RstRcvd;

  // Empties everything: a run starts from a clean buffer, and a record's date
  // and time window end with the record, so a record without QSO_DATE or
  // TIME_ON is never matched with an earlier record's values.
  void Clear();
};

// How far a logged QSO's time may lie from a confirmation's, either way.
inline constexpr int kMatchWindowMinutes = 20;

// Sets TimeOn, TimeFrom and TimeTo from a TIME_ON value: "hh:mm" from its
// first four characters, and a window of kMatchWindowMinutes on either side
// that never crosses midnight ("00:00" and "23:59" at the ends).
// Error: "'%s' is not a valid time".
void SetTimeWindow(PendingQslRecord& record, const QString& time_on_value);

// Which service's rule compares the calls: Qorv's call must equal the logged
// one, eQSL's must be its beginning.
enum class MatchRules { kQorv, kEqsl };

// The look-up of the QSO a record confirms: the record's date, call, mode and
// time window (SetTimeWindow) and the log's band value `band`, the call
// compared by the service's rule.
QsoLookup RecordLookup(const PendingQslRecord& record, double band, MatchRules rules);

// The QSO date from a yyyymmdd value. Errors: "'%s' is not a valid integer
// value" for a part that is not a whole number, "Invalid argument to date
// encode" for a day that does not exist.
QDate DateFromAdif(const QString& yyyymmdd);

#endif  // QORVSYNC_CONFIRMATIONS_PENDING_QSL_H_
