#include "create/qso_generator.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

struct Band {
  double digi_band;  // the logbook's DigiBand value
  double low;        // band edges in MHz
  double high;
  double ft8;  // FT8 calling frequency, 0 when the band has none
  double ft4;
  double psk;
};

const Band kBands[] = {
    {1.8, 1.8, 2.0, 1.840, 0, 1.838},
    {3.5, 3.5, 4.0, 3.573, 3.575, 3.580},
    {5, 5.3515, 5.3665, 5.357, 0, 0},
    {7, 7.0, 7.3, 7.074, 7.0475, 7.040},
    {10, 10.1, 10.15, 10.136, 10.140, 10.142},
    {14, 14.0, 14.35, 14.074, 14.080, 14.070},
    {18, 18.068, 18.168, 18.100, 18.104, 18.100},
    {21, 21.0, 21.45, 21.074, 21.140, 21.080},
    {24, 24.89, 24.99, 24.915, 24.919, 24.920},
    {28, 28.0, 29.7, 28.074, 28.180, 28.120},
    {50, 50.0, 54.0, 50.313, 50.318, 50.250},
    {144, 144.0, 148.0, 144.174, 0, 0},
};

const char* const kPrefixes[] = {
    "K",  "W",  "N",  "AA", "KD", "VE3", "VE7", "G",   "M0",  "2E0", "GM",  "GW", "EI",
    "DL", "DK", "DJ", "F",  "ON", "PA",  "I",   "IK",  "EA",  "CT",  "HB9", "OE", "OK",
    "OM", "SP", "HA", "YO", "LZ", "YU",  "9A",  "S5",  "SV",  "OZ",  "SM",  "LA", "OH",
    "ES", "YL", "LY", "UA", "R",  "UR",  "4X",  "JA",  "JH",  "BY",  "HL",  "VU", "VK",
    "ZL", "ZS", "PY", "LU", "CE", "XE",  "KH6", "KL7", "EA8", "CU",  "TF",  "OY", "JW"};

const char* const kUsStates[] = {"MA", "NY", "CA", "TX", "FL", "OH", "WA", "CO", "IL", "VA"};
const char* const kNames[] = {"John", "Hans", "Maria", "Yuki", "Pierre", "Anna", "Bob",
                              "Olga", "Luis", "Erik",  "Ivan", "Sara",   "Chen", "Tom"};
// Only satellites TQSL knows for every date generated (from 2019 on): TQSL
// leaves out a QSO with a satellite it does not know.
const char* const kSatellites[] = {"SO-50", "AO-91", "FO-29", "AO-92", "AO-7"};

template <typename T, size_t N>
const T& Pick(QRandomGenerator& random, const T (&items)[N]) {
  return items[random.bounded(static_cast<quint32>(N))];
}

QString CallSign(QRandomGenerator& random) {
  QString call = QLatin1String(Pick(random, kPrefixes));
  if (!call.back().isDigit()) call += QChar(u'0' + random.bounded(10));
  const int letters = 1 + random.bounded(3);
  for (int i = 0; i < letters; ++i) call += QChar(u'A' + random.bounded(26));
  const int suffix = random.bounded(100);
  if (suffix < 3) call += QStringLiteral("/P");
  if (suffix == 3) call += QStringLiteral("/M");
  return call;
}

QString Grid(QRandomGenerator& random) {
  return QString(QChar(u'A' + random.bounded(18))) + QChar(u'A' + random.bounded(18)) +
         QChar(u'0' + random.bounded(10)) + QChar(u'0' + random.bounded(10)) +
         QChar(u'a' + random.bounded(24)) + QChar(u'a' + random.bounded(24));
}

QString IsoDate(QDate date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
  return QString::fromLatin1(text);
}

QString Frequency(double mhz) { return QString::number(mhz, 'f', 5); }

double Between(QRandomGenerator& random, double low, double high) {
  // Whole kilohertz, as a dial is usually read.
  return std::round((low + random.generateDouble() * (high - low)) * 1000) / 1000;
}

// Mode, frequency and reports of one terrestrial QSO on `band`.
void FillMode(QRandomGenerator& random, const Band& band, Qso& qso) {
  const int roll = random.bounded(100);
  const double width = band.high - band.low;
  if (roll < 45 && band.ft8 > 0) {
    qso.QSOMode = QStringLiteral("FT8");
    qso.QSOBand = Frequency(band.ft8 + random.bounded(3000) / 1e6);
  } else if (roll < 55 && band.ft4 > 0) {
    qso.QSOMode = QStringLiteral("FT4");
    qso.QSOBand = Frequency(band.ft4 + random.bounded(3000) / 1e6);
  } else if (roll < 60 && band.psk > 0) {
    qso.QSOMode = random.bounded(4) == 0 ? QStringLiteral("BPSK63") : QStringLiteral("BPSK31");
    qso.QSOBand = Frequency(band.psk + random.bounded(3000) / 1e6);
  } else if (roll < 78) {
    qso.QSOMode = QStringLiteral("CW");
    qso.QSOBand = Frequency(Between(random, band.low, band.low + width * 0.25));
  } else if (roll < 95) {
    qso.QSOMode = QStringLiteral("SSB");
    qso.QSOBand = Frequency(Between(random, band.low + width * 0.5, band.high));
  } else {
    qso.QSOMode = QStringLiteral("CONTEST");
    qso.QSOBand = Frequency(Between(random, band.low, band.high));
  }
  const bool digital = qso.QSOMode.startsWith(QLatin1String("FT"));
  if (digital) {
    qso.RST_Sent = QString::number(-24 + random.bounded(30));
    qso.RST_Rcvd = QString::number(-24 + random.bounded(30));
  } else if (qso.QSOMode == QLatin1String("SSB")) {
    qso.RST_Sent = QStringLiteral("59");
    qso.RST_Rcvd = QString::number(5) + QString::number(5 + random.bounded(5));
  } else {
    qso.RST_Sent = QStringLiteral("599");
    qso.RST_Rcvd =
        QStringLiteral("5") + QString::number(5 + random.bounded(5)) + QStringLiteral("9");
  }
}

void FillSatellite(QRandomGenerator& random, Qso& qso) {
  qso.SAT_NAME = QLatin1String(Pick(random, kSatellites));
  const bool uhf = random.bounded(2) == 0;
  qso.DigiBand = uhf ? 430 : 144;
  qso.QSOBand = Frequency(uhf ? Between(random, 435.0, 436.0) : Between(random, 145.8, 146.0));
  qso.QSOMode = random.bounded(3) == 0 ? QStringLiteral("SSB") : QStringLiteral("FM");
  qso.RST_Sent = QStringLiteral("59");
  qso.RST_Rcvd = QStringLiteral("59");
  qso.Comment = QStringLiteral("via ") + qso.SAT_NAME;
}

}  // namespace

QList<Qso> GenerateQsos(int count, quint32 seed, QDate first, QDate last) {
  QRandomGenerator random(seed);
  const qint64 days = std::max<qint64>(1, first.daysTo(last) + 1);
  // Sorted moments spread over the period, one per QSO.
  QList<qint64> minutes;
  minutes.reserve(count);
  for (int i = 0; i < count; ++i) minutes << static_cast<qint64>(random.bounded(days * 1440.0));
  std::sort(minutes.begin(), minutes.end());

  QList<Qso> qsos;
  qsos.reserve(count);
  for (int i = 0; i < count; ++i) {
    Qso qso;
    const QDate date = first.addDays(minutes[i] / 1440);
    qso.QSODate = IsoDate(date);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", static_cast<int>(minutes[i] % 1440 / 60),
                  static_cast<int>(minutes[i] % 60));
    qso.QSOTime = QString::fromLatin1(time);
    qso.CallSign = CallSign(random);
    if (random.bounded(100) < 2) {
      FillSatellite(random, qso);
    } else {
      const Band& band = Pick(random, kBands);
      qso.DigiBand = band.digi_band;
      FillMode(random, band, qso);
    }
    qso.Name = QLatin1String(Pick(random, kNames));
    if (random.bounded(3) == 0) qso.Grid = Grid(random).left(random.bounded(2) == 0 ? 4 : 6);
    if (qso.CallSign.front() == u'K' || qso.CallSign.front() == u'W' ||
        qso.CallSign.front() == u'N' || qso.CallSign.startsWith(u'A')) {
      if (random.bounded(2) == 0) qso.State = QLatin1String(Pick(random, kUsStates));
    }
    // Older QSOs have been sent and often confirmed; the newest are waiting.
    const bool recent = i >= count - std::max(1, count / 20);
    qso.QorvSent = !recent && random.bounded(100) < 97;
    if (qso.QorvSent && random.bounded(100) < 40) {
      qso.QorvRec = true;
      qso.QorvRecDate = IsoDate(date.addDays(1 + random.bounded(120)));
    }
    qso.QSLReceQSLcc = !recent && random.bounded(100) < 30;
    qsos << qso;
  }
  return qsos;
}
