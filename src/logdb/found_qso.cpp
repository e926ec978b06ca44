#include "logdb/found_qso.h"

#include "platform/app_error.h"

void ThrowFieldNotFound(const QString& column) {
  throw AppError(FormatMessage(QStringLiteral("Field '%s' not found"), column));
}

QVariant FoundQso::Value(const QString& column) const {
  const int index = record.indexOf(column);
  if (index < 0) ThrowFieldNotFound(column);
  return record.value(index);
}

QString FoundQso::Text(const QString& column) const {
  const QVariant value = Value(column);
  return value.isNull() ? QString() : value.toString();
}

bool FoundQso::Truth(const QString& column) const {
  const QVariant value = Value(column);
  return !value.isNull() && value.toBool();
}
