#include "support/logbook_installation.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

#include "platform/text_codec.h"

namespace {

void Exec(QSqlQuery& query, const QString& sql) {
  if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
}

}  // namespace

void WriteLogbookInstallation(const QString& dir, const std::vector<FixtureLog>& logs,
                              const QString& current_log) {
  QDir().mkpath(dir + QStringLiteral("/db"));
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(dir + QStringLiteral("/db/logs.mdb"));
    if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
    QSqlQuery query(db);
    Exec(query, QStringLiteral("PRAGMA journal_mode=WAL"));
    Exec(query, QStringLiteral(
                    "CREATE TABLE Aconfig (ID INTEGER PRIMARY KEY, LogName TEXT COLLATE NOCASE, "
                    "LogSet TEXT, LogFileName TEXT, EQorvUserName TEXT, EQorvPassword TEXT, "
                    "EQSLUserName TEXT, EQSLPassword TEXT)"));
    for (const FixtureLog& log : logs) {
      query.prepare(QStringLiteral(
          "INSERT INTO Aconfig (LogName, LogSet, LogFileName) VALUES (:name, 'A', :table)"));
      query.bindValue(QStringLiteral(":name"), log.name);
      query.bindValue(QStringLiteral(":table"), log.table);
      if (!query.exec()) throw std::runtime_error(query.lastError().text().toStdString());
      Exec(query, QStringLiteral("CREATE TABLE \"%1\" (ID INTEGER PRIMARY KEY, QSODate TEXT, "
                                 "QSOTime TEXT, CallSign TEXT COLLATE NOCASE, DigiBand REAL, "
                                 "QSOMode TEXT, QorvRec INTEGER, QSLReceQSLcc INTEGER, "
                                 "QorvSent INTEGER)")
                      .arg(log.table));
      for (int i = 0; i < log.qsos; ++i) {
        query.prepare(QStringLiteral("INSERT INTO \"%1\" (QSODate, QSOTime, CallSign, DigiBand, "
                                     "QSOMode, QorvRec, QSLReceQSLcc, QorvSent) VALUES "
                                     "(:date, :time, :call, 14, 'SSB', :rec, 0, 1)")
                          .arg(log.table));
        query.bindValue(QStringLiteral(":date"),
                        QStringLiteral("2024-05-%1").arg(i % 28 + 1, 2, 10, QChar(u'0')));
        query.bindValue(QStringLiteral(":time"),
                        QStringLiteral("12:%1").arg(i % 60, 2, 10, QChar(u'0')));
        query.bindValue(QStringLiteral(":call"), QStringLiteral("DL%1ABC").arg(i));
        query.bindValue(QStringLiteral(":rec"), i % 2 == 0 ? 1 : 0);
        if (!query.exec()) throw std::runtime_error(query.lastError().text().toStdString());
      }
    }
  }
  QSqlDatabase::removeDatabase(connection);
  WriteTextFileLines(
      dir + QStringLiteral("/Vodrix_Log3.ini"),
      {QStringLiteral("[Main]"), QStringLiteral("Skin=Blue"), QStringLiteral("[EditNewQso]"),
       QStringLiteral("LogName=") + current_log, QStringLiteral("ShowGrid=1")});
}
