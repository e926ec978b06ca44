#include "cli/log_names.h"

#include <QSqlQuery>

#include "platform/app_error.h"

QStringList LogNames(LogDatabase& database) {
  QSqlQuery query(database.Connection());
  if (!query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid"))) {
    throw AppError(QStringLiteral("Cannot read the logbook's list of logs"));
  }
  QStringList names;
  while (query.next()) names << query.value(0).toString();
  return names;
}
