#ifndef QORVSYNC_PLATFORM_CONVERSIONS_H_
#define QORVSYNC_PLATFORM_CONVERSIONS_H_

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTime>
#include <optional>

// Numbers: "." is always the decimal separator. Date-time values are days
// since 30 December 1899, the fraction being the time of day, as the logbook
// stores them. Every failure throws AppError with the system's own text.

// Whole numbers as the standard conversion reads them: optional blanks before,
// an optional sign, decimal digits (or "$"/"0x" hexadecimal).
// Error: "'%s' is not a valid integer value".
int StrToInt(const QString& text);
bool TryStrToInt(const QString& text, int* value);
// The same on a part of a longer text, without copying it.
int StrToInt(QStringView text);
bool TryStrToInt(QStringView text, int* value);

// The number written by exactly `count` ASCII digits from index `from`, with
// no sign or blank; nothing when the text is shorter or any is no digit. For
// the fixed-width fields of dates and times.
std::optional<int> AsciiDigitsValue(QStringView text, qsizetype from, qsizetype count);

// Error: "'%s' is not a valid floating point value".
double StrToFloat(const QString& text);
bool TryStrToFloat(const QString& text, double* value);
bool TryStrToFloat(QStringView text, double* value);

// The general number format: shortest form with up to 15 significant digits,
// "." as separator, no exponent for ordinary magnitudes (44500.4166666667);
// the exponent form (1E20, 1E-5) outside 0.0001 to 15 integer digits.
QString FloatToStr(double value);

// Error: "Invalid argument to date encode".
double EncodeDate(int year, int month, int day);
// Error: "'%s' is not a valid time" is raised by StrToTime; EncodeTime itself
// throws "Invalid argument to time encode".
double EncodeTime(int hour, int minute, int second, int millisecond);

QDate DateTimeToDate(double date_time);
QTime DateTimeToTime(double date_time);
double DateToDateTime(const QDate& date);
double QDateTimeToDateTime(const QDateTime& date_time);  // its wall-clock fields

// A stored date: "," or "." as decimal separator, then StrToFloat.
double DecodeStoredDate(const QString& text);
// Written with "." in the general number format.
QString EncodeStoredDate(double date_time);

// The user's regional settings: date separator, time separator and short date
// format in the pattern style below. Read from the system locale once;
// tests inject their own.
struct RegionalSettings {
  QChar date_separator = u'/';
  QChar time_separator = u':';
  QString short_date_format = QStringLiteral("dd/mm/yyyy");

  // From QLocale::system() through FromLocale.
  static RegionalSettings FromSystem();
  // The locale's short date format with Qt's pattern letters turned into the
  // ones above; a two-digit year is widened to four digits, as the desktop's
  // own short formats have it (CLDR's short formats carry two).
  static RegionalSettings FromLocale(const QLocale& locale);
};
const RegionalSettings& CurrentRegionalSettings();
void SetRegionalSettings(const RegionalSettings& settings);

// Patterns: yyyy, yy, mm, m, dd, d, hh, h, nn, n, ss, s, zzz; "/" and ":"
// stand for the user's date and time separators; text in '...' or "..." is
// literal; anything else is copied.
QString FormatDateTime(const QString& pattern, double date_time,
                       const RegionalSettings& settings = CurrentRegionalSettings());
QString FormatDateTime(const QString& pattern, const QDateTime& date_time,
                       const RegionalSettings& settings = CurrentRegionalSettings());
// The short date format.
QString DateToStr(const QDate& date, const RegionalSettings& settings = CurrentRegionalSettings());

// Time of day from text with the user's time separator: h[:n[:s]] with an
// optional AM/PM. Error: "'%s' is not a valid time".
double StrToTime(const QString& text, const RegionalSettings& settings = CurrentRegionalSettings());
// A date in the order of the short date format. Error: "'%s' is not a valid date".
double StrToDate(const QString& text, const RegionalSettings& settings = CurrentRegionalSettings());

// ASCII-only case mapping and the trimming of characters <= 32 at both ends.
QString AsciiUpper(const QString& text);
QString TrimControl(const QString& text);
QStringView TrimControlView(QStringView text);

#endif  // QORVSYNC_PLATFORM_CONVERSIONS_H_
