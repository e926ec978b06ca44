#include "cli/log_time.h"

#include "platform/app_error.h"
#include "platform/conversions.h"

std::optional<QTime> ReadLogTime(const QString& stored) {
  // The log keeps its times with ":", whatever the user's time separator.
  RegionalSettings fixed;
  fixed.time_separator = u':';
  try {
    const QTime time = DateTimeToTime(StrToTime(stored, fixed));
    if (!time.isValid()) return std::nullopt;
    return QTime(time.hour(), time.minute());
  } catch (const AppError&) {
    return std::nullopt;
  }
}

QString LogTimeText(const QString& stored) {
  const std::optional<QTime> time = ReadLogTime(stored);
  return time ? time->toString(QStringLiteral("HH:mm")) : stored;
}
