#include "window/logbook_files.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "platform/app_error.h"
#include "platform/ini_file.h"

namespace {

const QString kSection = QStringLiteral("EditNewQso");
const QString kKey = QStringLiteral("LogName");

void Check(const QSqlQuery& query, bool ok) {
  if (!ok) throw AppError(query.lastError().text());
}

QString QuotedIdentifier(const QString& name) {
  QString inner = name;
  return u'"' + inner.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

QString ReadCurrentLogName(const QString& ini_path) {
  return IniFile(ini_path).ReadString(kSection, kKey);
}

void WriteCurrentLogName(const QString& ini_path, const QString& log_name) {
  IniFile(ini_path).WriteString(kSection, kKey, log_name);
}

LogbookDatabase::LogbookDatabase(const QString& path)
    : connection_name_(QStringLiteral("logbook-double-") + QUuid::createUuid().toString()) {
  if (!QFileInfo(path).isFile()) throw AppError(QStringLiteral("Log database not found: ") + path);
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
  if (!db.open()) {
    const QString reason = db.lastError().text();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_name_);
    throw AppError(reason);
  }
}

LogbookDatabase::~LogbookDatabase() {
  QSqlDatabase::database(connection_name_, false).close();
  QSqlDatabase::removeDatabase(connection_name_);
}

QStringList LogbookDatabase::LogNames() const {
  QSqlQuery query(QSqlDatabase::database(connection_name_, false));
  Check(query, query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid")));
  QStringList names;
  while (query.next()) names << query.value(0).toString();
  return names;
}

std::vector<QsoRow> LogbookDatabase::LoadQsos(const QString& log_name) const {
  const QSqlDatabase db = QSqlDatabase::database(connection_name_, false);
  QSqlQuery lookup(db);
  Check(lookup, lookup.prepare(QStringLiteral(
                    "SELECT LogFileName FROM Aconfig WHERE LogName = :name ORDER BY rowid")));
  lookup.bindValue(QStringLiteral(":name"), log_name);
  Check(lookup, lookup.exec());
  if (!lookup.next()) return {};
  const QString table = lookup.value(0).toString();
  lookup.finish();

  QSqlQuery query(db);
  query.setForwardOnly(true);
  Check(query, query.exec(QStringLiteral("SELECT ID, QSODate, QSOTime, CallSign, DigiBand, "
                                         "QSOMode, QorvRec, QSLReceQSLcc, QorvSent FROM %1 "
                                         "ORDER BY QSODate DESC, QSOTime DESC, ID DESC")
                              .arg(QuotedIdentifier(table))));
  std::vector<QsoRow> rows;
  while (query.next()) {
    QsoRow row;
    row.id = query.value(0).toLongLong();
    row.date = query.value(1).toString();
    row.time = query.value(2).toString();
    row.call = query.value(3).toString();
    row.band = query.value(4).toString();
    row.mode = query.value(5).toString();
    row.qorv_rec = query.value(6).toInt() != 0;
    row.eqsl_rec = query.value(7).toInt() != 0;
    row.qorv_sent = query.value(8).toInt() != 0;
    rows.push_back(std::move(row));
  }
  return rows;
}
