#include "cli/log_names.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "app/logbook_registry_keys.h"
#include "platform/app_error.h"
#include "platform/registry.h"

namespace {

QString DatabasePath() {
  Registry registry;
  if (!registry.OpenKey(kLogbookKey, false)) return QString();
  return registry.ReadString(QStringLiteral("InstallPath")) + QStringLiteral("db/logs.mdb");
}

QStringList ReadLogNames(const QString& path) {
  QStringList names;
  QSqlDatabase db =
      QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("qorvsync-log-names"));
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
  if (db.open()) {
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid"))) {
      while (query.next()) names << query.value(0).toString();
    }
  }
  return names;
}

}  // namespace

QStringList LogbookLogNames() {
  try {
    const QString path = DatabasePath();
    if (!QFileInfo(path).isFile()) return {};
    QStringList names = ReadLogNames(path);
    QSqlDatabase::removeDatabase(QStringLiteral("qorvsync-log-names"));
    return names;
  } catch (const AppError&) {
    // A damaged registry file gives no names rather than an error.
    return {};
  }
}
