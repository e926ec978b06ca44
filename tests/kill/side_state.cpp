#include "kill/side_state.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "upload/signed_contacts.h"

namespace {

const QString kBinary = QStringLiteral("qorvsync");

QStringList LogTables(QSqlDatabase& db) {
  QStringList tables;
  QSqlQuery query(db);
  query.exec(QStringLiteral("SELECT LogFileName FROM Aconfig ORDER BY LogFileName"));
  while (query.next()) tables << query.value(0).toString();
  return tables;
}

QStringList FilesBelow(const QString& root) {
  QStringList files;
  QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (it.fileName() != kBinary) files << QDir(root).relativeFilePath(path);
  }
  return files;
}

}  // namespace

SideState ReadSideState(const QString& root, const QString& database, QString* integrity) {
  SideState state;
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(database);
    db.open();
    QSqlQuery check(db);
    *integrity = check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next()
                     ? check.value(0).toString()
                     : check.lastError().text();
    for (const QString& table : LogTables(db)) {
      QSqlQuery query(db);
      query.exec(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(table));
      while (query.next()) {
        QStringList values;
        for (int i = 1; i < query.record().count(); ++i) values << query.value(i).toString();
        state.rows.insert(table + u'/' + query.value(0).toString(), values.join(u'|'));
      }
      query.exec(QStringLiteral("SELECT rowid, CallSign, QSODate, QSOTime FROM \"%1\" "
                                "WHERE QorvSent <> 0")
                     .arg(table));
      while (query.next()) {
        state.sent.insert(
            table + u'/' + query.value(0).toString(),
            QStringList{query.value(1).toString(), query.value(2).toString().remove(u'-'),
                        query.value(3).toString().remove(u':')}
                .join(u'\t'));
      }
    }
  }
  QSqlDatabase::removeDatabase(connection);
  const QRegularExpression stamp(QStringLiteral("\nGenerated [^\r\n]*"));
  for (const QString& file : FilesBelow(root)) {
    // The database and SQLite's own files are compared by their rows; lock
    // files are no content.
    if (file.contains(QLatin1String("db/logs.mdb")) || file.endsWith(QLatin1String(".lock"))) {
      continue;
    }
    QFile content(QDir(root).filePath(file));
    content.open(QIODevice::ReadOnly);
    QByteArray bytes = content.readAll();
    // The services stamp each reply with the moment it was made, and the
    // remembered unmatched run (which keeps the reply's lines) the moment it
    // ended.
    const bool remembered = QFileInfo(file).fileName().startsWith(QLatin1String("Unmatched"));
    if (file.contains(QLatin1String("Download/")) || remembered) {
      bytes = QString::fromLatin1(bytes).replace(stamp, QStringLiteral("\nGenerated")).toLatin1();
    }
    if (remembered) {
      const QRegularExpression ended(QStringLiteral("\t\\d{4}-\\d\\d-\\d\\dT[0-9:.]+Z\t"));
      bytes = QString::fromLatin1(bytes).replace(ended, QStringLiteral("\t\t")).toLatin1();
    }
    state.files.insert(file, bytes);
  }
  return state;
}

bool IsUnfinishedTemporary(const QString& path) {
  const QRegularExpression temporary(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
  return temporary.match(path).hasMatch();
}

bool IsWholeUploadFile(const QString& path, const QByteArray& bytes) {
  if (!path.contains(QLatin1String("Qorv Logs/"))) return false;
  if (path.endsWith(QLatin1String(".tq8"))) {
    const std::optional<QList<QsoKey>> contacts = ReadSignedContacts(bytes);
    return contacts && !contacts->isEmpty();
  }
  const QRegularExpression header(QStringLiteral("#   Exported: (\\d+) records"));
  const QRegularExpressionMatch count = header.match(QString::fromLatin1(bytes));
  return path.endsWith(QLatin1String(".adi")) && count.hasMatch() &&
         bytes.count("<EOR>\r\n") == count.captured(1).toLongLong() && bytes.endsWith("<EOR>\r\n");
}

void CopyTree(const QString& from, const QString& to) {
  for (const QString& file : FilesBelow(to)) QFile::remove(QDir(to).filePath(file));
  for (const QString& file : FilesBelow(from)) {
    const QString target = QDir(to).filePath(file);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::copy(QDir(from).filePath(file), target);
  }
}
