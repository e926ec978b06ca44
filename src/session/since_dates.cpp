#include "session/since_dates.h"

#include "platform/app_error.h"
#include "platform/conversions.h"
#include "platform/registry.h"
#include "session/logbook_registry_keys.h"

namespace {

// The days the window's date boxes can show; a stored number outside them is
// refused rather than clamped to some other date.
const QDate kFirstDay(1752, 9, 14);
const QDate kLastDay(9999, 12, 31);

const QString& ValueName(SinceDate which) {
  return which == SinceDate::kQorv ? kQorvSinceValue : kEqslSinceValue;
}

}  // namespace

std::optional<QDateTime> ReadSinceDate(SinceDate which) {
  // Opened as the logbook opens it: the key is made when missing.
  Registry registry;
  if (!registry.OpenKey(kSendQsosKey, true) || !registry.ValueExists(ValueName(which))) {
    return std::nullopt;
  }
  const QString text = registry.ReadString(ValueName(which));
  const double value = DecodeStoredDate(text);
  const QDate date = DateTimeToDate(value);
  const QTime time = DateTimeToTime(value);
  if (!date.isValid() || !time.isValid() || date < kFirstDay || date > kLastDay) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid date"), text));
  }
  // A local time the clock skips (00:00 on a day the clocks go forward at
  // midnight) is no valid QDateTime, yet it keeps its day and time of day,
  // which are what a download asks from and stores again.
  return QDateTime(date, time);
}

void SaveSinceDate(SinceDate which, const QDateTime& value) {
  Registry registry;
  if (!registry.OpenKey(kSendQsosKey, true)) return;
  registry.WriteString(ValueName(which), EncodeStoredDate(QDateTimeToDateTime(value)));
  registry.CloseKey();
}
