// Numbers and plain text: the conversions of the classic runtime the logbook
// was written with, always with "." as decimal separator.
#include "platform/conversions.h"

#include <locale.h>

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/app_error.h"

namespace {

int DigitValue(QChar c, int base) {
  const char16_t u = c.unicode();
  int digit = -1;
  if (u >= u'0' && u <= u'9') digit = u - u'0';
  if (u >= u'a' && u <= u'f') digit = u - u'a' + 10;
  if (u >= u'A' && u <= u'F') digit = u - u'A' + 10;
  return digit < base ? digit : -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The "C" locale for strtod_l: the process locale follows the user's.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return locale;
}

// [sign] digits [. digits] [(e|E) [sign] digits], at least one mantissa digit.
bool IsDecimalNumber(const char* text) {
  const char* p = text;
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  while (IsDigit(*p)) ++p, ++digits;
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) ++p, ++digits;
  }
  if (digits == 0) return false;
  if (*p == 'e' || *p == 'E') {
    ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!IsDigit(*p)) return false;
    while (IsDigit(*p)) ++p;
  }
  return *p == '\0';
}

}  // namespace

bool TryStrToInt(QStringView text, int* value) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n && text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int base = 10;
  if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return false;
  // Hexadecimal takes all 32 bits ($FFFFFFFF is -1); decimal stays in range.
  const quint64 limit = base == 16 ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
  quint64 magnitude = 0;
  for (; i < n; ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  const qint64 signed_value =
      negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
  *value = static_cast<int>(static_cast<quint32>(signed_value));
  return true;
}

bool TryStrToInt(const QString& text, int* value) { return TryStrToInt(QStringView(text), value); }

std::optional<int> AsciiDigitsValue(QStringView text, qsizetype from, qsizetype count) {
  if (from < 0 || count <= 0 || from + count > text.size()) return std::nullopt;
  int value = 0;
  for (qsizetype i = from; i < from + count; ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

int StrToInt(QStringView text) {
  int value = 0;
  if (!TryStrToInt(text, &value)) {
    throw AppError(
        FormatMessage(QStringLiteral("'%s' is not a valid integer value"), text.toString()));
  }
  return value;
}

int StrToInt(const QString& text) { return StrToInt(QStringView(text)); }

bool TryStrToFloat(QStringView text, double* value) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  QVarLengthArray<char, 64> ascii;
  for (qsizetype i = begin; i < end; ++i) {
    const char16_t u = text[i].unicode();
    if (u > 0x7F || u == 0) return false;
    ascii.append(static_cast<char>(u));
  }
  ascii.append('\0');
  if (!IsDecimalNumber(ascii.constData())) return false;
  const double parsed = strtod_l(ascii.constData(), nullptr, CLocale());
  // Too large for a double is an error; too small is zero.
  if (!std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

bool TryStrToFloat(const QString& text, double* value) {
  return TryStrToFloat(QStringView(text), value);
}

double StrToFloat(const QString& text) {
  double value = 0;
  if (!TryStrToFloat(text, &value)) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid floating point value"), text));
  }
  return value;
}

QString FloatToStr(double value) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (value == 0) return QStringLiteral("0");
  // 15 significant digits, rounded: d.dddddddddddddde+xx. Written into one
  // buffer: an export converts every QSO's frequency with it.
  char buffer[64];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const char* p = buffer;
  char out[64];
  char* o = out;
  if (*p == '-') {
    *o++ = '-';
    ++p;
  }
  char digits[16];
  int count = 0;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  const bool negative_exponent = p[1] == '-';
  int exponent = 0;
  std::from_chars(p + 2, written.ptr, exponent);
  if (negative_exponent) exponent = -exponent;
  while (count > 1 && digits[count - 1] == '0') --count;
  const auto put = [&o](const char* from, int n) { o = std::copy(from, from + n, o); };

  if (exponent < -4 || exponent > 14) {
    *o++ = digits[0];
    if (count > 1) {
      *o++ = '.';
      put(digits + 1, count - 1);
    }
    *o++ = 'E';
    o = std::to_chars(o, out + sizeof out, exponent).ptr;
  } else if (exponent < 0) {
    *o++ = '0';
    *o++ = '.';
    o = std::fill_n(o, -exponent - 1, '0');
    put(digits, count);
  } else if (const int whole = exponent + 1; count <= whole) {
    put(digits, count);
    o = std::fill_n(o, whole - count, '0');
  } else {
    put(digits, whole);
    *o++ = '.';
    put(digits + whole, count - whole);
  }
  return QString::fromLatin1(out, o - out);
}

double DecodeStoredDate(const QString& text) {
  QString dotted = text;
  dotted.replace(u',', u'.');
  double value = 0;
  if (!TryStrToFloat(dotted, &value)) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid floating point value"), text));
  }
  return value;
}

QString EncodeStoredDate(double date_time) { return FloatToStr(date_time); }

QString AsciiUpper(const QString& text) {
  QString result = text;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u >= u'a' && u <= u'z') result[i] = QChar(u - (u'a' - u'A'));
  }
  return result;
}

QStringView TrimControlView(QStringView text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin].unicode() <= 32) ++begin;
  while (end > begin && text[end - 1].unicode() <= 32) --end;
  return text.sliced(begin, end - begin);
}

QString TrimControl(const QString& text) {
  const QStringView trimmed = TrimControlView(text);
  return trimmed.size() == text.size() ? text : trimmed.toString();
}
