#include "confirmations/pending_qsl.h"

#include <algorithm>
#include <optional>

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

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int TwoDigits(const QString& text, qsizetype at) {
  return (text[at].unicode() - u'0') * 10 + (text[at + 1].unicode() - u'0');
}

// The minutes of "hhmm..." when it is a plain time of day, read without the
// general parser, which a report calls for every record.
std::optional<int> PlainMinutes(const QString& value) {
  if (value.size() < 4 || !std::all_of(value.begin(), value.begin() + 4, IsAsciiDigit)) {
    return std::nullopt;
  }
  const int hours = TwoDigits(value, 0);
  const int minutes = TwoDigits(value, 2);
  if (hours > 23 || minutes > 59) return std::nullopt;
  return hours * 60 + minutes;
}

}  // namespace

void SetTimeWindow(PendingQslRecord& record, const QString& time_on_value) {
  const QString value = TrimControl(time_on_value);
  record.TimeOn = value.left(2) + QLatin1Char(':') + value.mid(2, 2);
  std::optional<int> plain = PlainMinutes(value);
  if (!plain) {
    // The time separator of the user's settings stands between hours and
    // minutes, so the text reads back as a time of day whatever the locale.
    const QChar separator = CurrentRegionalSettings().time_separator;
    const QTime t = DateTimeToTime(StrToTime(value.left(2) + separator + value.mid(2, 2)));
    plain = t.hour() * 60 + t.minute();
  }
  const int minutes = *plain;
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
  if (yyyymmdd.size() == 8 && std::all_of(yyyymmdd.begin(), yyyymmdd.end(), IsAsciiDigit)) {
    const QDate date(TwoDigits(yyyymmdd, 0) * 100 + TwoDigits(yyyymmdd, 2),
                     TwoDigits(yyyymmdd, 4), TwoDigits(yyyymmdd, 6));
    if (date.isValid() && date.year() >= 1) return date;
  }
  const int year = StrToInt(yyyymmdd.mid(0, 4));
  const int month = StrToInt(yyyymmdd.mid(4, 2));
  const int day = StrToInt(yyyymmdd.mid(6, 2));
  return DateTimeToDate(EncodeDate(year, month, day));
}
