#include "logdb/log_names.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

std::optional<QStringList> SelectLogNames(const QSqlDatabase& db) {
  QSqlQuery query(db);
  if (!query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid"))) {
    return std::nullopt;
  }
  QStringList names;
  while (query.next()) names << query.value(0).toString();
  return names;
}

}  // namespace

std::optional<QStringList> ReadLogNames(LogDatabase& database) {
  return SelectLogNames(database.Connection());
}

QStringList ReadLogNamesOfFile(const QString& path) {
  if (!QFileInfo(path).isFile()) return {};
  const QString connection = QStringLiteral("qorvsync-log-names");
  QStringList names;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
    if (db.open()) names = SelectLogNames(db).value_or(QStringList());
  }
  QSqlDatabase::removeDatabase(connection);
  return names;
}
