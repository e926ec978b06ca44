#include "create/logbook_schema.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "platform/app_error.h"

namespace {

// Empty text is stored as '' (not NULL), as the logbook's own entry window does.
QVariant Text(const QString& value) { return value.isNull() ? QStringLiteral("") : value; }

QString Quoted(const QString& name) {
  QString inner = name;
  inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + inner + QLatin1Char('"');
}

// The log table's columns after ID, in table order.
const char* const kTextColumnsBefore[] = {"QSODate", "QSOTime", "CallSign"};
const char* const kTextColumnsAfter[] = {"QSOBand", "QSOMode", "SAT_NAME", "RST_Sent", "RST_Rcvd",
                                         "Name",    "QTH",     "Grid",     "State",    "IOTA",
                                         "State1",  "State2",  "State3",   "State4",   "Comment"};

void Fail(const QSqlError& error) {
  throw AppError(error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

}  // namespace

LogbookDatabaseWriter::LogbookDatabaseWriter(const QString& path, Journal journal) {
  static QAtomicInt counter;
  connection_name_ = QStringLiteral("logbook_double_%1").arg(counter.fetchAndAddRelaxed(1));
  db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
  db_.setDatabaseName(path);
  if (!db_.open()) Fail(db_.lastError());
  Execute(journal == Journal::kWal ? QStringLiteral("PRAGMA journal_mode=WAL")
                                   : QStringLiteral("PRAGMA journal_mode=DELETE"));
}

LogbookDatabaseWriter::~LogbookDatabaseWriter() {
  db_.close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection_name_);
}

void LogbookDatabaseWriter::Execute(const QString& sql) {
  QSqlQuery query(db_);
  if (!query.exec(sql)) Fail(query.lastError());
}

void LogbookDatabaseWriter::CreateAconfigTable() {
  Execute(QStringLiteral(
      "CREATE TABLE Aconfig (LogName TEXT COLLATE NOCASE, LogSet TEXT COLLATE NOCASE, "
      "LogFileName TEXT COLLATE NOCASE, EQorvUserName TEXT COLLATE NOCASE, "
      "EQorvPassword TEXT COLLATE NOCASE, EQSLUserName TEXT COLLATE NOCASE, "
      "EQSLPassword TEXT COLLATE NOCASE)"));
}

void LogbookDatabaseWriter::AddLog(const AconfigRow& row) {
  QSqlQuery query(db_);
  query.prepare(QStringLiteral(
      "INSERT INTO Aconfig (LogName, LogSet, LogFileName, EQorvUserName, EQorvPassword, "
      "EQSLUserName, EQSLPassword) VALUES (?, ?, ?, ?, ?, ?, ?)"));
  for (const QString* value : {&row.LogName, &row.LogSet, &row.LogFileName, &row.EQorvUserName,
                               &row.EQorvPassword, &row.EQSLUserName, &row.EQSLPassword}) {
    query.addBindValue(Text(*value));
  }
  if (!query.exec()) Fail(query.lastError());
}

void LogbookDatabaseWriter::CreateLogTable(const QString& table, bool with_indexes) {
  QStringList columns = {QStringLiteral("ID INTEGER PRIMARY KEY")};
  for (const char* name : kTextColumnsBefore) {
    columns << QLatin1String(name) + QStringLiteral(" TEXT COLLATE NOCASE");
  }
  columns << QStringLiteral("DigiBand REAL");
  for (const char* name : kTextColumnsAfter) {
    columns << QLatin1String(name) + QStringLiteral(" TEXT COLLATE NOCASE DEFAULT ''");
  }
  columns << QStringLiteral("QorvRec INTEGER NOT NULL DEFAULT 0")
          << QStringLiteral("QorvRecDate TEXT")
          << QStringLiteral("QSLReceQSLcc INTEGER NOT NULL DEFAULT 0")
          << QStringLiteral("QorvSent INTEGER NOT NULL DEFAULT 0");
  Execute(QStringLiteral("CREATE TABLE %1 (%2)")
              .arg(Quoted(table), columns.join(QStringLiteral(", "))));
  if (with_indexes) CreateLogIndexes(table);
}

void LogbookDatabaseWriter::CreateLogIndexes(const QString& table) {
  Execute(QStringLiteral("CREATE INDEX %1 ON %2 (QSODate)")
              .arg(Quoted(table + QStringLiteral("_QSODate")), Quoted(table)));
  Execute(QStringLiteral("CREATE INDEX %1 ON %2 (CallSign)")
              .arg(Quoted(table + QStringLiteral("_CallSign")), Quoted(table)));
}

void LogbookDatabaseWriter::InsertQsos(const QString& table, const QList<Qso>& qsos) {
  QStringList names;
  for (const char* name : kTextColumnsBefore) names << QLatin1String(name);
  names << QStringLiteral("DigiBand");
  for (const char* name : kTextColumnsAfter) names << QLatin1String(name);
  names << QStringLiteral("QorvRec") << QStringLiteral("QorvRecDate")
        << QStringLiteral("QSLReceQSLcc") << QStringLiteral("QorvSent");
  QStringList marks;
  for (qsizetype i = 0; i < names.size(); ++i) marks << QStringLiteral("?");

  Execute(QStringLiteral("BEGIN"));
  QSqlQuery query(db_);
  if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(Quoted(table), names.join(QStringLiteral(", ")),
                              marks.join(QStringLiteral(", "))))) {
    const QSqlError error = query.lastError();
    Execute(QStringLiteral("ROLLBACK"));
    Fail(error);
  }
  for (const Qso& qso : qsos) {
    int i = 0;
    for (const QString* value : {&qso.QSODate, &qso.QSOTime, &qso.CallSign}) {
      query.bindValue(i++, Text(*value));
    }
    query.bindValue(i++, qso.DigiBand);
    for (const QString* value :
         {&qso.QSOBand, &qso.QSOMode, &qso.SAT_NAME, &qso.RST_Sent, &qso.RST_Rcvd, &qso.Name,
          &qso.QTH, &qso.Grid, &qso.State, &qso.IOTA, &qso.State1, &qso.State2, &qso.State3,
          &qso.State4, &qso.Comment}) {
      query.bindValue(i++, Text(*value));
    }
    query.bindValue(i++, qso.QorvRec ? 1 : 0);
    query.bindValue(i++, qso.QorvRecDate.isEmpty() ? QVariant() : QVariant(qso.QorvRecDate));
    query.bindValue(i++, qso.QSLReceQSLcc ? 1 : 0);
    query.bindValue(i++, qso.QorvSent ? 1 : 0);
    if (!query.exec()) {
      const QSqlError error = query.lastError();
      query.finish();
      Execute(QStringLiteral("ROLLBACK"));
      Fail(error);
    }
  }
  query.finish();
  Execute(QStringLiteral("COMMIT"));
}
