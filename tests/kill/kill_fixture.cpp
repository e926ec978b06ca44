#include "kill/kill_fixture.h"

#include <QDate>

namespace {

constexpr int kMainQsos = 1200;
constexpr int kPortableQsos = 120;
constexpr int kUnmatchedRecords = 12;

struct BandMode {
  double band;
  const char* frequency;
  const char* band_name;
  const char* mode;
};

constexpr BandMode kBandModes[] = {
    {7, "7.07400", "40M", "FT8"}, {14, "14.20000", "20M", "SSB"}, {21, "21.03000", "15M", "CW"}};

Qso MakeQso(int i, const QString& call, bool portable) {
  const BandMode& band_mode = kBandModes[i % 3];
  Qso qso;
  qso.QSODate = QDate(2021, 1, 1).addDays(i / 24 + (portable ? 3 : 0)).toString(Qt::ISODate);
  qso.QSOTime =
      QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar(u'0')).arg(i * 7 % 60, 2, 10, QChar(u'0'));
  qso.CallSign = call;
  qso.DigiBand = band_mode.band;
  qso.QSOBand = QString::fromLatin1(band_mode.frequency);
  qso.QSOMode = QString::fromLatin1(band_mode.mode);
  qso.QorvSent = i % 2 == 1;
  return qso;
}

QString CallOf(int i, bool portable) {
  if (i == 0 && !portable) return QStringLiteral("DL1XYZ/P");
  return QStringLiteral("%1%2AB").arg(portable ? "K" : "W").arg(i);
}

QList<Qso> Qsos(int count, bool portable) {
  QList<Qso> qsos;
  for (int i = 0; i < count; ++i) qsos << MakeQso(i, CallOf(i, portable), portable);
  return qsos;
}

QByteArray Field(const char* name, const QString& value) {
  return QByteArray("<") + name + ':' + QByteArray::number(value.toUtf8().size()) + '>' +
         value.toUtf8();
}

QString AdifDate(const QString& iso) { return QString(iso).remove(u'-'); }
QString AdifTime(const QString& time) { return QString(time).remove(u':'); }

QByteArray ReportRecord(const Qso& qso, const QString& call, int i) {
  const BandMode& band_mode = kBandModes[i % 3];
  return Field("CALL", call) + '\n' + Field("BAND", QString::fromLatin1(band_mode.band_name)) +
         '\n' + Field("MODE", qso.QSOMode) + '\n' + Field("QSO_DATE", AdifDate(qso.QSODate)) +
         '\n' + Field("TIME_ON", AdifTime(qso.QSOTime)) + '\n' +
         Field("QSLRDATE", QStringLiteral("20211001")) + '\n' +
         Field("GRIDSQUARE", QStringLiteral("EN34ab")) + '\n' +
         Field("CNTY", QStringLiteral("MN,Anoka")) + "\n<eor>\n";
}

}  // namespace

QList<Qso> KillMainQsos() { return Qsos(kMainQsos, false); }
QList<Qso> KillPortableQsos() { return Qsos(kPortableQsos, true); }

QByteArray KillQorvReport() {
  QByteArray report;
  for (const bool portable : {false, true}) {
    const QList<Qso> qsos = Qsos(portable ? kPortableQsos : kMainQsos, portable);
    for (int i = 0; i < qsos.size(); ++i) {
      if (i % 3 == 2) continue;
      const QString call = i == 0 && !portable ? QStringLiteral("DL1XYZ") : qsos[i].CallSign;
      report += ReportRecord(qsos[i], call, i);
    }
  }
  const QList<Qso> main = KillMainQsos();
  for (int i = 0; i < kUnmatchedRecords; ++i) {
    report += ReportRecord(main[i], QStringLiteral("ZZ%1ZZ").arg(i), i);
  }
  return report;
}

QByteArray KillEqslInbox() {
  QByteArray inbox;
  const QList<Qso> qsos = KillMainQsos();
  for (int i = 0; i < qsos.size() + kUnmatchedRecords; ++i) {
    if (i < qsos.size() && i % 4 != 0) continue;
    const Qso& qso = qsos[i % qsos.size()];
    const QString call = i < qsos.size() ? qso.CallSign : QStringLiteral("ZZ%1ZZ").arg(i);
    inbox += Field("CALL", call) + "<QSO_DATE:8:D>" + AdifDate(qso.QSODate).toLatin1() +
             Field("TIME_ON", AdifTime(qso.QSOTime)) +
             Field("BAND", QString::fromLatin1(kBandModes[i % 3].band_name)) +
             Field("MODE", qso.QSOMode) + "<EOR>\n";
  }
  return inbox;
}

QByteArray KillHeldContacts() {
  QByteArray held;
  const QList<Qso> qsos = KillMainQsos();
  for (int i = 1; i < qsos.size(); i += 4) {
    const Qso& qso = qsos[i];
    held += qso.CallSign.toUtf8() + '\t' + AdifDate(qso.QSODate).toUtf8() + '\t' +
            AdifTime(qso.QSOTime).toUtf8() + '\t' + kBandModes[i % 3].band_name + '\t' +
            qso.QSOMode.toUtf8() + '\n';
  }
  return held;
}
