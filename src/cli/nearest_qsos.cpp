#include "cli/nearest_qsos.h"

#include <QTime>
#include <cmath>

#include "adif/band_tables.h"
#include "cli/log_time.h"
#include "confirmations/pending_qsl.h"

namespace {

int Minutes(const QTime& time) { return time.hour() * 60 + time.minute(); }

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
  const std::optional<QTime> logged = ReadLogTime(qso.time);
  const QTime confirmed = QTime::fromString(record.time, QStringLiteral("HH:mm"));
  if (logged && confirmed.isValid() && qso.date == record.date) {
    const int apart = std::abs(Minutes(*logged) - Minutes(confirmed));
    const QString logged_text = logged->toString(QStringLiteral("HH:mm"));
    if (apart > kMatchWindowMinutes) {
      differences << QStringLiteral(
                         "time %1 in the log, %2 in the record: %3 minutes outside the "
                         "±%4-minute window")
                         .arg(logged_text, record.time)
                         .arg(apart - kMatchWindowMinutes)
                         .arg(kMatchWindowMinutes);
    } else if (qso.time.left(5) != logged_text) {
      // The look-up compares the stored text with "hh:mm" bounds.
      differences << QStringLiteral(
                         "time %1 in the log is not written hh:mm (%2), so the look-up misses it")
                         .arg(qso.time, logged_text);
    }
  }
  return differences;
}

void AddNear(const QList<LoggedQso>& qsos, const QString& table, QList<NearQso>* into) {
  for (const LoggedQso& qso : qsos) into->append({qso, table, {}});
}

}  // namespace

QString BaseCall(const QString& call) {
  QString base;
  for (const QString& part : call.split(u'/')) {
    if (part.size() > base.size()) base = part;
  }
  return base.toUpper();
}

QList<NearQso> NearestQsos(NearQsoLookups& lookups, const QStringList& tables,
                           const RecordKey& record) {
  QList<NearQso> nearest;
  if (!record.date.isValid() || record.call.isEmpty()) return nearest;
  const QString base = BaseCall(record.call);
  for (const QString& table : tables) {
    QList<NearQso> candidates;
    AddNear(lookups.WithCall(table, record.call, record.date.addDays(-1), record.date.addDays(1)),
            table, &candidates);
    // A call with another prefix or suffix: the base call stands somewhere in
    // it; the base comparison picks those whose longest part it is.
    if (record.band != 0) {
      for (const LoggedQso& qso :
           lookups.OnDateAndBandHolding(table, record.date, record.band, base)) {
        if (BaseCall(qso.call) == base && qso.call.compare(record.call, Qt::CaseInsensitive) != 0) {
          candidates.append({qso, table, {}});
        }
      }
    }
    for (NearQso& qso : candidates) {
      qso.differences = Differences(record, qso);
      if (!qso.differences.isEmpty()) nearest.append(qso);
    }
  }
  return nearest;
}
