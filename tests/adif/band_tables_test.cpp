#include "adif/band_tables.h"

#include <gtest/gtest.h>

#include <QList>

#include "support/error_text.h"

TEST(BandTables, BandToDigiBandComparesNamesWithoutCase) {
  const struct {
    const char* band;
    const char* digi_band;
  } cases[] = {
      {"160M", "1.8"},  {"80M", "3.5"},   {"60M", "5"},     {"40M", "7"},     {"30M", "10"},
      {"20M", "14"},    {"17M", "18"},    {"15M", "21"},    {"12M", "24"},    {"10M", "28"},
      {"6M", "50"},     {"4M", "70"},     {"2M", "144"},    {"70CM", "430"},  {"23CM", "1200"},
      {"13CM", "2400"}, {"6CM", "5650"},  {"3CM", "10000"}, {"1.25M", "222"}, {"20m", "14"},
      {"70cm", "430"},  {"1.25m", "222"}, {" 20M", ""},     {"20M ", ""},     {"2190M", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BandToDigiBand(QLatin1String(c.band)), QLatin1String(c.digi_band)) << c.band;
  }
}

TEST(BandTables, DigiBandToBandIncludesBothBounds) {
  const struct {
    const char* digi_band;
    const char* band;
  } cases[] = {
      {"1.8", "160M"},   {"2", "160M"},    {"3.5", "80M"},     {"5.25", "60M"}, {"5.4", "60M"},
      {"7", "40M"},      {"7.3", "40M"},   {"10.15", "30M"},   {"14", "20M"},   {"14.35", "20M"},
      {"18.168", "17M"}, {"21.45", "15M"}, {"24.99", "12M"},   {"29.7", "10M"}, {"50", "6M"},
      {"70", "4M"},      {"144", "2M"},    {"223.5", "1.25M"}, {"430", "70cm"}, {"1296", "23cm"},
      {"2400", "13cm"},  {"5650", "6cm"},  {"5925", "6cm"},    {" 14 ", "20M"}, {"1.79", ""},
      {"5", "60M"},      {"1200", "23cm"}, {"10000", "3cm"},   {"14.36", ""},   {"2.5", ""},
      {"", ""},          {"abc", ""},      {"14,0", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DigiBandToBand(QLatin1String(c.digi_band)), QLatin1String(c.band)) << c.digi_band;
  }
}

TEST(BandTables, TheTwoTablesCoverEachOther) {
  // Every band the log can hold is exported under a name that reads back as
  // the same value.
  for (const char* band : {"160M", "80M", "60M", "40M", "30M", "20M", "17M", "15M", "12M", "10M",
                           "6M", "4M", "2M", "1.25M", "70CM", "23CM", "13CM", "6CM", "3CM"}) {
    const QString value = BandToDigiBand(QLatin1String(band));
    ASSERT_FALSE(value.isEmpty()) << band;
    const QString exported = DigiBandToBand(value);
    EXPECT_EQ(exported.compare(QLatin1String(band), Qt::CaseInsensitive), 0) << band;
    EXPECT_EQ(BandToDigiBand(exported), value) << band;
  }
}

TEST(BandTables, FreqToAdifGivesMegahertz) {
  const struct {
    const char* qso_band;
    const char* freq;
  } cases[] = {
      {"14.07400", "14.074"},   {"3.57300", "3.573"}, {"144.30000", "144.3"},
      {"1296.20000", "1296.2"}, {"14.074", "14.074"}, {"7.074", "7.074"},
      {"14074", "14.074"},      {"144300", "144.3"},  {"14074.5", "14.0745"},
      {"14", "14.00000"},       {"3.5", "3.50000"},   {"430", "430.00000"},
      {"", ".00000"},           {"abc", "abc.00000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FreqToAdif(QLatin1String(c.qso_band)), QLatin1String(c.freq)) << c.qso_band;
  }
  // The text left after the dots are taken out is what failed.
  EXPECT_EQ(ErrorText([] { FreqToAdif(QStringLiteral("14.0x400")); }),
            QStringLiteral("'140x400' is not a valid floating point value"));
  EXPECT_EQ(ErrorText([] { FreqToAdif(QStringLiteral("abcd")); }),
            QStringLiteral("'abcd' is not a valid floating point value"));
}

TEST(BandTables, FreqToAdifOfEveryUsualFrequencyIsItsMegahertzValue) {
  // The log's frequency as the logbook writes it ("14.07400", "144.30000"),
  // from 1 MHz to 10 GHz: the megahertz value with 15 significant digits.
  QList<qint64> steps = {100000,   100001,   100010,    1407400,    1407450,
                         14430000, 99999999, 129620000, 1000000000, 999999999999};
  for (qint64 n = 100000; n < 100000000; n += 9973) steps.append(n);
  for (const qint64 n : steps) {
    const QString text =
        QStringLiteral("%1.%2").arg(n / 100000).arg(n % 100000, 5, 10, QChar(u'0'));
    EXPECT_EQ(FreqToAdif(text), QString::number(n / 100000.0, 'g', 15)) << text.toStdString();
  }
}

TEST(BandTables, ModeToAdifDropsTheBOfBpsk) {
  const struct {
    const char* mode;
    const char* adif;
  } cases[] = {
      {"BPSK31", "PSK31"}, {"BPSK63", "PSK63"},  {"BPSK", "PSK"}, {"QPSK31", "QPSK31"},
      {"PSK31", "PSK31"},  {"bpsk31", "bpsk31"}, {"CW", "CW"},    {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModeToAdif(QLatin1String(c.mode)), QLatin1String(c.adif)) << c.mode;
  }
}
