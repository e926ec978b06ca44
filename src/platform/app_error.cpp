#include "platform/app_error.h"

AppError::AppError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

QString FormatMessage(const QString& pattern, const QString& argument) {
  QString result = pattern;
  qsizetype at = result.indexOf(QLatin1String("%s"));
  if (at < 0) at = result.indexOf(QLatin1String("%d"));
  if (at >= 0) result.replace(at, 2, argument);
  return result;
}
