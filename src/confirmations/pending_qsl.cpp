#include "confirmations/pending_qsl.h"

#include <optional>

#include "platform/conversions.h"

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

// The minutes of "hhmm..." when it is a plain time of day, read without the
// general parser, which a report calls for every record.
std::optional<int> PlainMinutes(const QString& value) {
  const std::optional<int> hours = AsciiDigitsValue(value, 0, 2);
  const std::optional<int> minutes = AsciiDigitsValue(value, 2, 2);
  if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
  return *hours * 60 + *minutes;
}

// The day of a plain "yyyymmdd" that exists, read the same way.
std::optional<QDate> PlainDate(const QString& yyyymmdd) {
  const std::optional<int> year = AsciiDigitsValue(yyyymmdd, 0, 4);
  const std::optional<int> month = AsciiDigitsValue(yyyymmdd, 4, 2);
  const std::optional<int> day = AsciiDigitsValue(yyyymmdd, 6, 2);
  if (yyyymmdd.size() != 8 || !year || !month || !day || *year < 1) return std::nullopt;
  const QDate date(*year, *month, *day);
  return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
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
  constexpr int kMinutesPerDay = 24 * 60;
  record.TimeTo = minutes + kMatchWindowMinutes >= kMinutesPerDay
                      ? QStringLiteral("23:59")
                      : MinutesToText(minutes + kMatchWindowMinutes);
  record.TimeFrom = minutes - kMatchWindowMinutes < 0
                        ? QStringLiteral("00:00")
                        : MinutesToText(minutes - kMatchWindowMinutes);
  record.HasTimeWindow = true;
}

QsoLookup RecordLookup(const PendingQslRecord& record, double band, MatchRules rules) {
  return {record.QsoDate,
          band,
          record.Call,
          rules == MatchRules::kQorv ? QsoLookup::CallMatch::kEqual : QsoLookup::CallMatch::kPrefix,
          record.TimeFrom,
          record.TimeTo,
          record.Mode};
}

QDate DateFromAdif(const QString& yyyymmdd) {
  if (const std::optional<QDate> plain = PlainDate(yyyymmdd)) return *plain;
  const int year = StrToInt(yyyymmdd.mid(0, 4));
  const int month = StrToInt(yyyymmdd.mid(4, 2));
  const int day = StrToInt(yyyymmdd.mid(6, 2));
  return DateTimeToDate(EncodeDate(year, month, day));
}
