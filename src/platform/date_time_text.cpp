// Dates and times as text in the user's regional settings: formatting by
// pattern and the reading of dates and times typed in those settings.
#include <QLocale>
#include <algorithm>
#include <charconv>

#include "platform/app_error.h"
#include "platform/conversions.h"

namespace {

constexpr int kTwoDigitYearCenturyWindow = 50;

char16_t UpperAscii(QChar c) {
  const char16_t u = c.unicode();
  return u >= u'a' && u <= u'z' ? u - (u'a' - u'A') : u;
}

// The value in decimal, zeros in front up to `width` characters, appended.
// Written by hand: an error list formats a date for every unmatched record.
void AppendPadded(QString& out, int value, int width) {
  if (value < 0) {
    out += QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
    return;
  }
  char digits[16];
  const qsizetype count = std::to_chars(digits, digits + sizeof digits, value).ptr - digits;
  for (qsizetype i = count; i < width; ++i) out += u'0';
  for (qsizetype i = 0; i < count; ++i) out += QLatin1Char(digits[i]);
}

// One pattern letter repeated `count` times, for the date and time given,
// appended.
void AppendToken(QString& out, char16_t token, int count, const QDate& date, const QTime& time,
                 const RegionalSettings& settings) {
  const QLocale names = QLocale::c();
  switch (token) {
    case u'Y':
      if (count <= 2) {
        AppendPadded(out, date.year() % 100, 2);
      } else {
        AppendPadded(out, date.year(), 4);
      }
      return;
    case u'M':
      if (count >= 4) {
        out += names.monthName(date.month(), QLocale::LongFormat);
      } else if (count == 3) {
        out += names.monthName(date.month(), QLocale::ShortFormat);
      } else {
        AppendPadded(out, date.month(), count);
      }
      return;
    case u'D':
      if (count >= 5) {
        out += FormatDateTime(settings.short_date_format, QDateTime(date, time), settings);
      } else if (count == 4) {
        out += names.dayName(date.dayOfWeek(), QLocale::LongFormat);
      } else if (count == 3) {
        out += names.dayName(date.dayOfWeek(), QLocale::ShortFormat);
      } else {
        AppendPadded(out, date.day(), count);
      }
      return;
    case u'H':
      AppendPadded(out, time.hour(), qMin(count, 2));
      return;
    case u'N':
      AppendPadded(out, time.minute(), qMin(count, 2));
      return;
    case u'S':
      AppendPadded(out, time.second(), qMin(count, 2));
      return;
    case u'Z':
      AppendPadded(out, time.msec(), count >= 3 ? 3 : 0);
      return;
    default:
      return;
  }
}

QString Format(const QString& pattern, const QDate& date, const QTime& time,
               const RegionalSettings& settings) {
  QString result;
  result.reserve(pattern.size() + 8);
  char16_t last_letter = 0;
  qsizetype i = 0;
  while (i < pattern.size()) {
    const QChar c = pattern[i];
    if (c == u'\'' || c == u'"') {
      const qsizetype close = pattern.indexOf(c, i + 1);
      const qsizetype end = close < 0 ? pattern.size() : close;
      result += QStringView(pattern).sliced(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (c == u'/') {
      result += settings.date_separator;
      ++i;
      continue;
    }
    if (c == u':') {
      result += settings.time_separator;
      ++i;
      continue;
    }
    char16_t token = UpperAscii(c);
    if (token != u'Y' && token != u'M' && token != u'D' && token != u'H' && token != u'N' &&
        token != u'S' && token != u'Z') {
      if (token >= u'A' && token <= u'Z') last_letter = token;
      result += c;
      ++i;
      continue;
    }
    int count = 1;
    while (i + count < pattern.size() && UpperAscii(pattern[i + count]) == token) ++count;
    i += count;
    // An "m" right after an hour means minutes, as in "hh:mm".
    if (token == u'M' && last_letter == u'H') token = u'N';
    last_letter = token;
    AppendToken(result, token, count, date, time, settings);
  }
  return result;
}

// A cursor over the text being read; blanks before every item are skipped.
class Scanner {
 public:
  explicit Scanner(QStringView text) : text_(text) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
  }

  // Up to four digits; `digits` tells how many were read.
  bool Number(int* value, int* digits = nullptr) {
    SkipBlanks();
    const qsizetype start = pos_;
    int n = 0;
    while (pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9' && n < 1000) {
      n = n * 10 + (text_[pos_].unicode() - u'0');
      ++pos_;
    }
    if (pos_ == start) return false;
    *value = n;
    if (digits != nullptr) *digits = static_cast<int>(pos_ - start);
    return true;
  }

  bool Char(QChar c) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool Word(QStringView word) {
    SkipBlanks();
    if (text_.sliced(pos_).startsWith(word, Qt::CaseInsensitive)) {
      pos_ += word.size();
      return true;
    }
    return false;
  }

  bool AtEnd() {
    SkipBlanks();
    return pos_ == text_.size();
  }

 private:
  QStringView text_;
  qsizetype pos_ = 0;
};

// 0 for AM, 12 for PM, -1 for neither.
int ScanDayHalf(Scanner& scanner) {
  if (scanner.Word(u"AM")) return 0;
  if (scanner.Word(u"PM")) return 12;
  return -1;
}

bool TryStrToTime(const QString& text, const RegionalSettings& settings, double* value) {
  Scanner scanner(text);
  int base_hour = ScanDayHalf(scanner);
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  if (!scanner.Number(&hour)) return false;
  if (scanner.Char(settings.time_separator)) {
    if (!scanner.Number(&minute)) return false;
    if (scanner.Char(settings.time_separator)) {
      if (!scanner.Number(&second)) return false;
      if (scanner.Char(u'.') && !scanner.Number(&millisecond)) return false;
    }
  }
  if (base_hour < 0) {
    base_hour = ScanDayHalf(scanner);
    if (base_hour >= 0 && hour > 12) return false;
  }
  if (base_hour >= 0) hour = (hour == 12 ? 0 : hour) + base_hour;
  if (!scanner.AtEnd() || hour > 23 || minute > 59 || second > 59 || millisecond > 999) {
    return false;
  }
  *value = EncodeTime(hour, minute, second, millisecond);
  return true;
}

enum class DateOrder { kMdy, kDmy, kYmd };

DateOrder OrderOf(const QString& short_date_format) {
  for (const QChar c : short_date_format) {
    switch (UpperAscii(c)) {
      case u'D':
        return DateOrder::kDmy;
      case u'M':
        return DateOrder::kMdy;
      case u'Y':
        return DateOrder::kYmd;
      default:
        break;
    }
  }
  return DateOrder::kMdy;
}

// A year written with one or two digits falls within the 100 years that end
// kTwoDigitYearCenturyWindow years after the current one.
int WindowedYear(int year) {
  const int century_base = QDate::currentDate().year() - kTwoDigitYearCenturyWindow;
  year += century_base / 100 * 100;
  if (year < century_base) year += 100;
  return year;
}

bool TryStrToDate(const QString& text, const RegionalSettings& settings, double* value) {
  Scanner scanner(text);
  int n1 = 0, n2 = 0, n3 = 0;
  int digits1 = 0, digits3 = 0;
  if (!scanner.Number(&n1, &digits1) || !scanner.Char(settings.date_separator) ||
      !scanner.Number(&n2)) {
    return false;
  }
  const DateOrder order = OrderOf(settings.short_date_format);
  int year = QDate::currentDate().year();
  int year_digits = 4;
  int month = 0;
  int day = 0;
  if (scanner.Char(settings.date_separator)) {
    if (!scanner.Number(&n3, &digits3)) return false;
    switch (order) {
      case DateOrder::kMdy:
        year = n3, year_digits = digits3, month = n1, day = n2;
        break;
      case DateOrder::kDmy:
        year = n3, year_digits = digits3, month = n2, day = n1;
        break;
      case DateOrder::kYmd:
        year = n1, year_digits = digits1, month = n2, day = n3;
        break;
    }
  } else if (order == DateOrder::kDmy) {
    day = n1, month = n2;
  } else {
    month = n1, day = n2;
  }
  if (!scanner.AtEnd()) return false;
  if (year_digits <= 2) year = WindowedYear(year);
  if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)) return false;
  *value = EncodeDate(year, month, day);
  return true;
}

}  // namespace

QString FormatDateTime(const QString& pattern, double date_time, const RegionalSettings& settings) {
  return Format(pattern, DateTimeToDate(date_time), DateTimeToTime(date_time), settings);
}

QString FormatDateTime(const QString& pattern, const QDateTime& date_time,
                       const RegionalSettings& settings) {
  return Format(pattern, date_time.date(), date_time.time(), settings);
}

QString DateToStr(const QDate& date, const RegionalSettings& settings) {
  return Format(settings.short_date_format, date, QTime(0, 0), settings);
}

double StrToTime(const QString& text, const RegionalSettings& settings) {
  double value = 0;
  if (!TryStrToTime(text, settings, &value)) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid time"), text));
  }
  return value;
}

double StrToDate(const QString& text, const RegionalSettings& settings) {
  double value = 0;
  if (!TryStrToDate(text, settings, &value)) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid date"), text));
  }
  return value;
}
