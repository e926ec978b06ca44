#include "cli/nearest_qsos.h"

#include <QTime>
#include <cmath>

#include "adif/band_tables.h"
#include "logdb/sql_text.h"

namespace {

constexpr int kWindowMinutes = 20;

// The log's QSOTime ("HH:MM" or "HH:MM:SS") as minutes of the day, -1 when
// it is not a time.
int Minutes(const QString& time) {
  const QTime value = QTime::fromString(time.left(5), QStringLiteral("HH:mm"));
  return value.isValid() ? value.hour() * 60 + value.minute() : -1;
}

QString BandName(double band) { return DigiBandToBand(QString::number(band, 'g', 10)); }

QStringList Differences(const RecordKey& record, const NearQso& qso) {
  QStringList differences;
  if (qso.call.compare(record.call, Qt::CaseInsensitive) != 0) {
    differences
        << QStringLiteral("call %1 in the log, %2 in the record").arg(qso.call, record.call);
  }
  if (qso.date != record.date) {
    differences << QStringLiteral("date %1 in the log, %2 in the record")
                       .arg(qso.date.toString(Qt::ISODate), record.date.toString(Qt::ISODate));
  }
  if (std::abs(qso.band - record.band) > 1e-6) {
    differences << QStringLiteral("band %1 in the log, %2 in the record")
                       .arg(BandName(qso.band), record.band_name);
  }
  if (!qso.mode.contains(record.mode, Qt::CaseInsensitive)) {
    differences << QStringLiteral("mode %1 in the log, %2 in the record (mode or submode)")
                       .arg(qso.mode, record.mode);
  }
  const int logged = Minutes(qso.time);
  const int confirmed = Minutes(record.time);
  if (logged >= 0 && confirmed >= 0 && qso.date == record.date) {
    const int apart = std::abs(logged - confirmed);
    if (apart > kWindowMinutes) {
      differences << QStringLiteral(
                         "time %1 in the log, %2 in the record: %3 minutes outside the "
                         "±20-minute window")
                         .arg(qso.time.left(5), record.time)
                         .arg(apart - kWindowMinutes);
    }
  }
  return differences;
}

QList<NearQso> Select(LogDatabase& database, const QString& table, const QString& condition,
                      const QList<QVariant>& values) {
  QList<NearQso> found;
  for (const LoggedQso& qso :
       SelectLoggedQsos(database, table, condition, values,
                        QStringLiteral("QSODate, QSOTime, rowid"),
                        QStringLiteral("Cannot search the log table "))) {
    found.append({qso, table, {}});
  }
  return found;
}

}  // namespace

QString BaseCall(const QString& call) {
  QString base;
  for (const QString& part : call.split(u'/')) {
    if (part.size() > base.size()) base = part;
  }
  return base.toUpper();
}

QList<NearQso> NearestQsos(LogDatabase& database, const QStringList& tables,
                           const RecordKey& record) {
  QList<NearQso> nearest;
  if (!record.date.isValid() || record.call.isEmpty()) return nearest;
  const QString base = BaseCall(record.call);
  for (const QString& table : tables) {
    QList<NearQso> candidates =
        Select(database, table, QStringLiteral("CallSign = ? AND QSODate BETWEEN ? AND ?"),
               {record.call, record.date.addDays(-1).toString(Qt::ISODate),
                record.date.addDays(1).toString(Qt::ISODate)});
    // The base call may stand anywhere in the logged call; the exact test is
    // the base comparison below.
    for (const NearQso& qso :
         Select(database, table,
                QStringLiteral("QSODate = ? AND DigiBand = ? AND CallSign LIKE ? ESCAPE '\\'"),
                {record.date.toString(Qt::ISODate), record.band,
                 QStringLiteral("%") + EscapeLike(base) + QStringLiteral("%")})) {
      if (BaseCall(qso.call) == base && qso.call.compare(record.call, Qt::CaseInsensitive) != 0) {
        candidates.append(qso);
      }
    }
    for (NearQso& qso : candidates) {
      qso.differences = Differences(record, qso);
      if (!qso.differences.isEmpty()) nearest.append(qso);
    }
  }
  return nearest;
}
