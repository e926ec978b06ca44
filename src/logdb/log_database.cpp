#include "logdb/log_database.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QUrl>

#include "logdb/database_file.h"
#include "logdb/log_statements.h"
#include "logdb/sql_text.h"
#include "platform/app_error.h"

namespace {

QString NewConnectionName() {
  static QAtomicInt counter;
  return QStringLiteral("qorv_logdb_%1").arg(counter.fetchAndAddRelaxed(1));
}

constexpr int kPageCacheKiB = 16 * 1024;

bool IsLockError(const QSqlError& error) {
  bool ok = false;
  const int code = error.nativeErrorCode().toInt(&ok);
  constexpr int kSqliteBusy = 5;
  constexpr int kSqliteLocked = 6;
  return ok && ((code & 0xff) == kSqliteBusy || (code & 0xff) == kSqliteLocked);
}

}  // namespace

LogDatabase::LogDatabase(int busy_timeout_ms)
    : connection_name_(NewConnectionName()), busy_timeout_ms_(busy_timeout_ms) {
  db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
}

LogDatabase::~LogDatabase() {
  Close();
  db_ = QSqlDatabase();
  QSqlDatabase::removeDatabase(connection_name_);
}

void LogDatabase::OpenLogDatabase(const QString& path) {
  Close();
  CheckLogDatabaseFile(path);
  // mode=rw: SQLite must never create the file.
  db_.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                      QStringLiteral("?mode=rw"));
  db_.setConnectOptions(
      QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(busy_timeout_ms_));
  if (!db_.open()) {
    const QString reason = DatabaseErrorText(db_.lastError());
    db_.close();
    throw AppError(QStringLiteral("Cannot open the log database '%1': %2").arg(path, reason));
  }
  // Opening reads nothing; the first read shows a damaged file or a lock
  // that outlasts the busy time-out.
  QSqlQuery probe(db_);
  if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
    const QSqlError error = probe.lastError();
    probe = QSqlQuery();
    db_.close();
    if (IsLockError(error)) {
      throw AppError(QStringLiteral("The log database '%1' is locked by another program: %2")
                         .arg(path, DatabaseErrorText(error)));
    }
    throw AppError(
        QStringLiteral("'%1' is not a database: %2").arg(path, DatabaseErrorText(error)));
  }
  // Durability, chosen on purpose. The journal mode stays the logbook's (its
  // databases use a write-ahead log); the program never changes it. Every
  // commit is synced to the disk (synchronous = FULL; under a write-ahead log
  // NORMAL would sync only at checkpoints): the marks of a run are committed
  // before the run moves its stored date or reports, and a power loss must
  // not take back marks whose date has already moved, or a confirmation would
  // never be asked for again. A run commits at most every 100 ms, so this
  // costs one disk flush per 100 ms of work.
  //
  // The page cache holds the call-sign indexes of a log of a million QSOs
  // (about 13 MB), which a run searches at random for every report record;
  // with SQLite's default of 2 MB nearly every search read its pages from the
  // file again.
  probe.finish();
  if (!probe.exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
      !probe.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kPageCacheKiB))) {
    const QString reason = DatabaseErrorText(probe.lastError());
    probe = QSqlQuery();
    db_.close();
    throw AppError(QStringLiteral("Cannot set up the log database '%1': %2").arg(path, reason));
  }
}

void LogDatabase::Close() {
  if (in_transaction_) EndBatchTransaction();
  ClearCaches();
  if (db_.isOpen()) db_.close();
}

bool LogDatabase::IsOpen() const { return db_.isOpen(); }

void LogDatabase::ClearCaches() {
  statements_.clear();
  config_query_.reset();
  walk_query_.reset();
}

QSqlQuery& LogDatabase::Prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql) {
  if (!slot) {
    auto query = std::make_unique<QSqlQuery>(db_);
    query->setForwardOnly(true);
    if (!query->prepare(sql)) throw AppError(DatabaseErrorText(query->lastError()));
    slot = std::move(query);
  }
  return *slot;
}

void LogDatabase::Execute(QSqlQuery& query) {
  if (!query.exec()) {
    const QSqlError error = query.lastError();
    query.finish();
    throw AppError(DatabaseErrorText(error));
  }
}

void LogDatabase::ExecuteText(const QString& sql) {
  QSqlQuery query(db_);
  if (!query.exec(sql)) throw AppError(DatabaseErrorText(query.lastError()));
}

LogConfiguration LogDatabase::LoadLogConfiguration(const QString& log_name) {
  QSqlQuery& query = Prepared(
      config_query_,
      QStringLiteral("SELECT * FROM Aconfig WHERE LogName = :name ORDER BY rowid LIMIT 1"));
  query.bindValue(QStringLiteral(":name"), log_name);
  Execute(query);
  const QSqlRecord record = query.record();
  const bool found = query.next();
  LogConfiguration config;
  const std::pair<const char*, QString*> columns[] = {
      {"LogFileName", &config.LogFileName},     {"LogSet", &config.LogSet},
      {"EQorvUserName", &config.EQorvUserName}, {"EQorvPassword", &config.EQorvPassword},
      {"EQSLUserName", &config.EQSLUserName},   {"EQSLPassword", &config.EQSLPassword}};
  for (const auto& [name, target] : columns) {
    const int index = record.indexOf(QLatin1String(name));
    if (index < 0) {
      query.finish();
      ThrowFieldNotFound(QLatin1String(name));
    }
    if (found) *target = query.value(index).toString();
  }
  query.finish();
  return config;
}

QStringList LogDatabase::LogSetTables(const QString& log_set) {
  QSqlQuery& query = Prepared(
      walk_query_, QStringLiteral("SELECT * FROM Aconfig WHERE LogSet = :set ORDER BY rowid"));
  query.bindValue(QStringLiteral(":set"), log_set);
  Execute(query);
  const int index = query.record().indexOf(QStringLiteral("LogFileName"));
  if (index < 0) {
    query.finish();
    ThrowFieldNotFound(QStringLiteral("LogFileName"));
  }
  QStringList tables;
  while (query.next()) tables << query.value(index).toString();
  query.finish();
  return tables;
}
