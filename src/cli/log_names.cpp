#include "cli/log_names.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "app/logbook_registry_keys.h"
#include "platform/app_error.h"
#include "platform/registry.h"

namespace {

// Aconfig's LogName in rowid order; false when the table cannot be read.
bool SelectLogNames(const QSqlDatabase& db, QStringList* names) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid"))) return false;
  while (query.next()) *names << query.value(0).toString();
  return true;
}

QString DatabasePath() {
  Registry registry;
  if (!registry.OpenKey(kLogbookKey, false)) return QString();
  return registry.ReadString(QStringLiteral("InstallPath")) + QStringLiteral("db/logs.mdb");
}

}  // namespace

QStringList LogNames(LogDatabase& database) {
  QStringList names;
  if (!SelectLogNames(database.Connection(), &names)) {
    throw AppError(QStringLiteral("Cannot read the logbook's list of logs"));
  }
  return names;
}

QStringList LogbookLogNames() {
  const QString connection = QStringLiteral("qorvsync-log-names");
  try {
    const QString path = DatabasePath();
    if (!QFileInfo(path).isFile()) return {};
    QStringList names;
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
      db.setDatabaseName(path);
      db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
      if (db.open() && !SelectLogNames(db, &names)) names.clear();
    }
    QSqlDatabase::removeDatabase(connection);
    return names;
  } catch (const AppError&) {
    // A damaged registry file gives no names rather than an error.
    return {};
  }
}
