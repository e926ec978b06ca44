#include "confirmations/pending_qsl.h"

#include "platform/conversions.h"

PendingQslRecord PendingQsl;

void PendingQslRecord::Clear() { *this = PendingQslRecord(); }

namespace {

// "hh:mm"; built by hand, as it runs for every record of a report.
QString MinutesToText(int minutes) {
  const int hours = minutes / 60;
  const int rest = minutes % 60;
  const QChar text[] = {QChar(u'0' + hours / 10), QChar(u'0' + hours % 10), QChar(u':'),
                        QChar(u'0' + rest / 10), QChar(u'0' + rest % 10)};
  return QString(text, 5);
}

}  // namespace

void SetTimeWindow(PendingQslRecord& record, const QString& time_on_value) {
  const QString value = TrimControl(time_on_value);
  // The time separator of the user's settings stands between hours and
  // minutes, so the text reads back as a time of day whatever the locale.
  const QChar separator = CurrentRegionalSettings().time_separator;
  record.TimeOn = value.left(2) + QLatin1Char(':') + value.mid(2, 2);
  const double time = StrToTime(value.left(2) + separator + value.mid(2, 2));
  const QTime t = DateTimeToTime(time);
  const int minutes = t.hour() * 60 + t.minute();
  constexpr int kWindowMinutes = 20;
  constexpr int kMinutesPerDay = 24 * 60;
  record.TimeTo = minutes + kWindowMinutes >= kMinutesPerDay
                      ? QStringLiteral("23:59")
                      : MinutesToText(minutes + kWindowMinutes);
  record.TimeFrom = minutes - kWindowMinutes < 0 ? QStringLiteral("00:00")
                                                 : MinutesToText(minutes - kWindowMinutes);
  record.HasTimeWindow = true;
}

QDate DateFromAdif(const QString& yyyymmdd) {
  const int year = StrToInt(yyyymmdd.mid(0, 4));
  const int month = StrToInt(yyyymmdd.mid(4, 2));
  const int day = StrToInt(yyyymmdd.mid(6, 2));
  return DateTimeToDate(EncodeDate(year, month, day));
}
