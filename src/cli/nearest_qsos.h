#ifndef QORVSYNC_CLI_NEAREST_QSOS_H_
#define QORVSYNC_CLI_NEAREST_QSOS_H_

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "logdb/logged_qsos.h"

// What a confirmation record is looked up with, as a run reads it.
struct RecordKey {
  QString call;
  QDate date;
  double band = 0;  // the log's DigiBand value; 0 when the band is unknown
  QString band_name;
  QString mode;
  QString time;  // "hh:mm"
};

// A QSO near a record that matched nothing, and what keeps them apart.
struct NearQso : LoggedQso {
  QString table;
  QStringList differences;

  QString Id() const { return table + u':' + QString::number(rowid); }
};

// The QSOs of the tables with the record's call within a day of its date, and
// those of its date and band whose call differs from the record's by a prefix
// or suffix ("DL/N0CALL", "N0CALL/P"); each with the differences a match
// cares about: call, date, band, mode, minutes outside the ±20-minute window,
// and a log time the look-up cannot compare ("9:05" for 09:05).
QList<NearQso> NearestQsos(NearQsoLookups& lookups, const QStringList& tables,
                           const RecordKey& record);

// The longest "/"-separated part of a call sign: "N0CALL" of "DL/N0CALL/P".
QString BaseCall(const QString& call);

#endif  // QORVSYNC_CLI_NEAREST_QSOS_H_
