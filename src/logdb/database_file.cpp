#include "logdb/database_file.h"

#include <QFile>
#include <QFileInfo>

#include "platform/app_error.h"

namespace {

bool IsAccessSignature(const QByteArray& head) {
  const QByteArray name = head.mid(4, 15);
  return name == "Standard Jet DB" || name == "Standard ACE DB";
}

}  // namespace

void CheckLogDatabaseFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || info.isDir()) {
    throw AppError(FormatMessage(QStringLiteral("Could not find file '%s'."), path));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw AppError(
        QStringLiteral("Cannot open the log database '%1': %2").arg(path, file.errorString()));
  }
  const QByteArray head = file.read(32);
  if (IsAccessSignature(head)) {
    throw AppError(FormatMessage(
        QStringLiteral("'%s' is a Microsoft Access database. This program works on the log "
                       "database in SQLite form only: convert the database to SQLite first."),
        path));
  }
  if (!head.startsWith(QByteArray("SQLite format 3\0", 16))) {
    throw AppError(
        FormatMessage(QStringLiteral("'%s' is not a database (no SQLite database file)."), path));
  }
  if (!info.isWritable()) {
    throw AppError(FormatMessage(
        QStringLiteral("The log database '%s' is read-only: it must be writable."), path));
  }
}
