// Date-time values as the logbook stores them: days since 30 December 1899,
// the fraction being the time of day. A negative value counts days before
// that date, its fraction still being the time of day.
#include <cmath>
#include <cstdlib>

#include "platform/app_error.h"
#include "platform/conversions.h"

namespace {

constexpr qint64 kMsPerDay = 24 * 60 * 60 * 1000;

QDate Epoch() { return QDate(1899, 12, 30); }

// Whole milliseconds, rounded as the runtime rounds them, so that
// 44500.4166666667 is exactly 10:00.
qint64 ToMilliseconds(double date_time) {
  return std::llround(date_time * static_cast<double>(kMsPerDay));
}

}  // namespace

double EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)) {
    throw AppError(QStringLiteral("Invalid argument to date encode"));
  }
  return static_cast<double>(Epoch().daysTo(QDate(year, month, day)));
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999) {
    throw AppError(QStringLiteral("Invalid argument to time encode"));
  }
  const qint64 ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

QDate DateTimeToDate(double date_time) {
  if (!std::isfinite(date_time)) return QDate();
  return Epoch().addDays(ToMilliseconds(date_time) / kMsPerDay);
}

QTime DateTimeToTime(double date_time) {
  if (!std::isfinite(date_time)) return QTime();
  return QTime::fromMSecsSinceStartOfDay(
      static_cast<int>(std::llabs(ToMilliseconds(date_time) % kMsPerDay)));
}

double DateToDateTime(const QDate& date) {
  if (!date.isValid()) throw AppError(QStringLiteral("Invalid argument to date encode"));
  return EncodeDate(date.year(), date.month(), date.day());
}

double QDateTimeToDateTime(const QDateTime& date_time) {
  const double days = DateToDateTime(date_time.date());
  const double time =
      static_cast<double>(date_time.time().msecsSinceStartOfDay()) / static_cast<double>(kMsPerDay);
  return days >= 0 ? days + time : days - time;
}
