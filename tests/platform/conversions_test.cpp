#include "platform/conversions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/error_text.h"

namespace {

RegionalSettings German() { return RegionalSettings::FromLocale(QLocale(QStringLiteral("de_DE"))); }
RegionalSettings American() {
  return RegionalSettings::FromLocale(QLocale(QStringLiteral("en_US")));
}

double At(int hour, int minute, int second = 0, int ms = 0) {
  return EncodeTime(hour, minute, second, ms);
}

}  // namespace

TEST(Conversions, AsciiDigitsValueReadsOnlyAFieldOfDigits) {
  const struct {
    const char16_t* text;
    qsizetype from;
    qsizetype count;
    std::optional<int> value;
  } cases[] = {
      {u"20240229", 0, 4, 2024}, {u"20240229", 6, 2, 29},     {u"0905", 0, 2, 9},
      {u"0905", 2, 3, std::nullopt}, {u"+905", 0, 2, std::nullopt}, {u" 905", 0, 2, std::nullopt},
      {u"9:05", 0, 2, std::nullopt}, {u"\u0669\u0660", 0, 2, std::nullopt},
      {u"12", 0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AsciiDigitsValue(QStringView(c.text), c.from, c.count), c.value)
        << QString::fromUtf16(c.text).toStdString() << " " << c.from << " " << c.count;
  }
}

TEST(Conversions, StrToIntReadsDecimalAndHexadecimal) {
  const struct {
    const char* text;
    int value;
  } valid[] = {
      {"0", 0},
      {"  42", 42},
      {"-17", -17},
      {"+5", 5},
      {"007", 7},
      {"$FF", 255},
      {"0x1a", 26},
      {"X10", 16},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
  };
  for (const auto& c : valid) {
    EXPECT_EQ(StrToInt(QString::fromLatin1(c.text)), c.value) << c.text;
  }
  for (const char* text : {"", " ", "-", "$", "12 ", "1a", "1.5", "8:D", "<CALL", "2147483648",
                           "-2147483649", "$100000000", "\t1"}) {
    EXPECT_EQ(ErrorText([&] { StrToInt(QString::fromLatin1(text)); }),
              QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(text)));
    int value = 99;
    EXPECT_FALSE(TryStrToInt(QString::fromLatin1(text), &value)) << text;
    EXPECT_EQ(value, 99);
  }
}

TEST(Conversions, StrToFloatUsesOnlyTheDot) {
  const struct {
    const char* text;
    double value;
  } valid[] = {
      {" 1.5 ", 1.5}, {"-2", -2},     {".5", 0.5},     {"5.", 5},
      {"1E3", 1000},  {"1e-2", 0.01}, {"+3.25", 3.25}, {"44500.4166666667", 44500.4166666667},
      {"1e-400", 0},
  };
  for (const auto& c : valid) {
    EXPECT_DOUBLE_EQ(StrToFloat(QString::fromLatin1(c.text)), c.value) << c.text;
  }
  for (const char* text :
       {"", " ", "1,5", "abc", "1.2.3", ".", "E5", "1e", "1e999", "0x10", "inf", "nan", "1 000"}) {
    EXPECT_EQ(ErrorText([&] { StrToFloat(QString::fromLatin1(text)); }),
              QStringLiteral("'%1' is not a valid floating point value").arg(QLatin1String(text)));
  }
}

TEST(Conversions, FloatToStrIsTheGeneralFormat) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {44500 + 10.0 / 24, "44500.4166666667"},
      {44500, "44500"},
      {44500.5, "44500.5"},
      {0.5, "0.5"},
      {0, "0"},
      {-1.25, "-1.25"},
      {1407400.0 / 100000, "14.074"},
      {1.0 / 3, "0.333333333333333"},
      {123456789012345, "123456789012345"},
      {1234567890123456, "1.23456789012346E15"},
      {1e20, "1E20"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-1.5e-7, "-1.5E-7"},
      {9.9999999999999999e-5, "0.0001"},  // rounded before the form is chosen
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStr(c.value), QLatin1String(c.text)) << c.text;
  }
}

TEST(Conversions, DateTimesCountDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2021, 10, 31), 44500);
  EXPECT_EQ(DateToDateTime(QDate(2021, 10, 31)), 44500);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);

  const double ten_o_clock = QDateTimeToDateTime(QDateTime(QDate(2021, 10, 31), QTime(10, 0)));
  EXPECT_DOUBLE_EQ(ten_o_clock, 44500 + 10.0 / 24);
  EXPECT_EQ(DateTimeToDate(ten_o_clock), QDate(2021, 10, 31));
  EXPECT_EQ(DateTimeToTime(ten_o_clock), QTime(10, 0));
  // The stored text has 15 digits; it still reads back as 10:00 sharp.
  EXPECT_EQ(DateTimeToTime(44500.4166666667), QTime(10, 0));
  // Before 1899-12-30 the fraction is still the time of day.
  const double before = QDateTimeToDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_DOUBLE_EQ(before, -1.25);
  EXPECT_EQ(DateTimeToDate(before), QDate(1899, 12, 29));
  EXPECT_EQ(DateTimeToTime(before), QTime(6, 0));

  for (const auto& [year, month, day] :
       {std::tuple{2021, 2, 29}, {2021, 13, 1}, {2021, 4, 31}, {0, 1, 1}, {10000, 1, 1}}) {
    EXPECT_EQ(ErrorText([&] { EncodeDate(year, month, day); }),
              QStringLiteral("Invalid argument to date encode"));
  }
  EXPECT_EQ(ErrorText([] { DateToDateTime(QDate()); }),
            QStringLiteral("Invalid argument to date encode"));
  EXPECT_EQ(ErrorText([] { EncodeTime(24, 0, 0, 0); }),
            QStringLiteral("Invalid argument to time encode"));
}

TEST(Conversions, StoredDatesReadCommaOrDotAndWriteDot) {
  SetRegionalSettings(German());
  EXPECT_EQ(DecodeStoredDate(QStringLiteral("44500,5")), 44500.5);
  EXPECT_EQ(DecodeStoredDate(QStringLiteral("44500.5")), 44500.5);
  EXPECT_EQ(DecodeStoredDate(QStringLiteral("44500")), 44500);

  const double ten_o_clock = QDateTimeToDateTime(QDateTime(QDate(2021, 10, 31), QTime(10, 0)));
  const QString stored = EncodeStoredDate(ten_o_clock);
  EXPECT_EQ(stored, QStringLiteral("44500.4166666667"));
  const double read_back = DecodeStoredDate(stored);
  EXPECT_EQ(DateTimeToDate(read_back), QDate(2021, 10, 31));
  EXPECT_EQ(DateTimeToTime(read_back), QTime(10, 0));
  EXPECT_EQ(EncodeStoredDate(DateToDateTime(QDate(2021, 10, 31))), QStringLiteral("44500"));

  // The message shows the text as it was stored.
  EXPECT_EQ(ErrorText([] { DecodeStoredDate(QString()); }),
            QStringLiteral("'' is not a valid floating point value"));
  EXPECT_EQ(ErrorText([] { DecodeStoredDate(QStringLiteral("44500,5,1")); }),
            QStringLiteral("'44500,5,1' is not a valid floating point value"));
  SetRegionalSettings(RegionalSettings());
}

TEST(Conversions, RegionalSettingsFollowTheLocale) {
  const struct {
    const char* locale;
    const char* short_date_format;
    char16_t date_separator;
    char16_t time_separator;
  } cases[] = {
      {"de_DE", "dd.mm.yyyy", u'.', u':'}, {"en_US", "m/d/yyyy", u'/', u':'},
      {"en_GB", "dd/mm/yyyy", u'/', u':'}, {"fi_FI", "d.m.yyyy", u'.', u'.'},
      {"ja_JP", "yyyy/mm/dd", u'/', u':'}, {"C", "d mmm yyyy", u'/', u':'},
  };
  for (const auto& c : cases) {
    const RegionalSettings settings = RegionalSettings::FromLocale(QLocale(c.locale));
    EXPECT_EQ(settings.short_date_format, QLatin1String(c.short_date_format)) << c.locale;
    EXPECT_EQ(settings.date_separator, QChar(c.date_separator)) << c.locale;
    EXPECT_EQ(settings.time_separator, QChar(c.time_separator)) << c.locale;
  }

  SetRegionalSettings(American());
  EXPECT_EQ(CurrentRegionalSettings().short_date_format, QStringLiteral("m/d/yyyy"));
  EXPECT_EQ(DateToStr(QDate(2021, 9, 5)), QStringLiteral("9/5/2021"));
  SetRegionalSettings(German());
  EXPECT_EQ(DateToStr(QDate(2021, 9, 5)), QStringLiteral("05.09.2021"));
  SetRegionalSettings(RegionalSettings());
}

TEST(Conversions, FormatDateTimeUsesTheUsersSeparators) {
  RegionalSettings settings;
  settings.date_separator = u'-';
  settings.time_separator = u'.';
  settings.short_date_format = QStringLiteral("yyyy/mm/dd");
  const double value = EncodeDate(2021, 9, 5) + At(7, 3, 9, 45);
  const struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"yyyy/mm/dd hh:nn:ss.zzz", "2021-09-05 07.03.09.045"},
      {"d/m/yy h:n:s", "5-9-21 7.3.9"},
      {"YYYYMMDD", "20210905"},
      {"hh:mm", "07.03"},        // "m" after an hour is minutes
      {"hh:nn mm", "07.03 09"},  // but not after the minutes
      {"'at' hh \"o'clock\"", "at 07 o'clock"},
      {"ddd d mmm mmmm dddd", "Sun 5 Sep September Sunday"},
      {"ddddd", "2021-09-05"},
      {"yyyy-mm-dd", "2021-09-05"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(QString::fromLatin1(c.pattern), value, settings),
              QLatin1String(c.text))
        << c.pattern;
  }
  EXPECT_EQ(FormatDateTime(QStringLiteral("dd/mm/yyyy hh:nn"),
                           QDateTime(QDate(2021, 10, 31), QTime(23, 59)), German()),
            QStringLiteral("31.10.2021 23:59"));
}

TEST(Conversions, StrToTimeReadsTheUsersTimeSeparator) {
  const RegionalSettings colon = German();
  RegionalSettings dot = RegionalSettings::FromLocale(QLocale(QStringLiteral("fi_FI")));
  const struct {
    const char* text;
    const RegionalSettings* settings;
    double value;
  } valid[] = {
      {"18:30", &colon, At(18, 30)},
      {" 7:05:09 ", &colon, At(7, 5, 9)},
      {"7:05:09.250", &colon, At(7, 5, 9, 250)},
      {"10", &colon, At(10, 0)},
      {"12:00 AM", &colon, At(0, 0)},
      {"1:15 pm", &colon, At(13, 15)},
      {"PM 1:15", &colon, At(13, 15)},
      {"12:30 PM", &colon, At(12, 30)},
      {"18.30", &dot, At(18, 30)},
  };
  for (const auto& c : valid) {
    EXPECT_DOUBLE_EQ(StrToTime(QString::fromLatin1(c.text), *c.settings), c.value) << c.text;
  }
  for (const char* text :
       {"", "24:00", "12:60", "18:30:60", "13:00 PM", "18:30x", "18.30", "ab:cd", ":30"}) {
    EXPECT_EQ(ErrorText([&] { StrToTime(QString::fromLatin1(text), colon); }),
              QStringLiteral("'%1' is not a valid time").arg(QLatin1String(text)));
  }
}

TEST(Conversions, StrToDateFollowsTheShortDateOrder) {
  const RegionalSettings german = German();
  const RegionalSettings american = American();
  const RegionalSettings japanese = RegionalSettings::FromLocale(QLocale(QStringLiteral("ja_JP")));
  const int this_year = QDate::currentDate().year();
  const struct {
    const char* text;
    const RegionalSettings* settings;
    QDate date;
  } valid[] = {
      {"31.10.2021", &german, QDate(2021, 10, 31)},
      {" 1. 2.2021 ", &german, QDate(2021, 2, 1)},
      {"31.10.21", &german, QDate(2021, 10, 31)},
      {"31.10", &german, QDate(this_year, 10, 31)},
      {"10/31/2021", &american, QDate(2021, 10, 31)},
      {"10/31", &american, QDate(this_year, 10, 31)},
      {"2021/10/31", &japanese, QDate(2021, 10, 31)},
      {"0021/10/31", &japanese, QDate(21, 10, 31)},  // four digits: no window
  };
  for (const auto& c : valid) {
    EXPECT_EQ(DateTimeToDate(StrToDate(QString::fromLatin1(c.text), *c.settings)), c.date)
        << c.text;
  }
  // Two-digit years fall within 50 years either side of this one.
  const int far_ahead = (this_year + 49) % 100;
  const int far_back = (this_year + 51) % 100;
  EXPECT_EQ(DateTimeToDate(StrToDate(QStringLiteral("1.1.%1").arg(far_ahead), german)).year(),
            this_year + 49);
  EXPECT_EQ(DateTimeToDate(StrToDate(QStringLiteral("1.1.%1").arg(far_back), german)).year(),
            this_year - 49);

  const struct {
    const char* text;
    const RegionalSettings* settings;
  } invalid[] = {
      {"", &german},
      {"31/10/2021", &german},
      {"2021-10-31", &german},
      {"32.10.2021", &german},
      {"29.02.2021", &german},
      {"31.10.2021x", &german},
      {"31/10/2021", &american},
  };
  for (const auto& c : invalid) {
    EXPECT_EQ(ErrorText([&] { StrToDate(QString::fromLatin1(c.text), *c.settings); }),
              QStringLiteral("'%1' is not a valid date").arg(QLatin1String(c.text)));
  }
}

TEST(Conversions, AsciiUpperAndTrimControlTouchOnlyAscii) {
  EXPECT_EQ(AsciiUpper(QString::fromUtf8("ft8 aßzé{ı")), QString::fromUtf8("FT8 AßZé{ı"));
  EXPECT_EQ(TrimControl(QStringLiteral("\t\x01 a b \r\n")), QStringLiteral("a b"));
  EXPECT_EQ(TrimControl(QString::fromUtf8("\u00A0a\u00A0")), QString::fromUtf8("\u00A0a\u00A0"));
  EXPECT_EQ(TrimControl(QStringLiteral(" \x1F ")), QString());
}
