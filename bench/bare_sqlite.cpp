#include "bare_sqlite.h"

#include <QCryptographicHash>
#include <stdexcept>

BareDb::BareDb(const QString& path) {
  if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
      SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_close(db_);
    throw std::runtime_error(message);
  }
  sqlite3_busy_timeout(db_, 5000);
  Exec("PRAGMA synchronous = FULL");
  Exec("PRAGMA cache_size = -16384");
}

BareDb::~BareDb() {
  for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
  sqlite3_close(db_);
}

sqlite3_stmt* BareDb::Prepare(const QString& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &statement,
                         nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db_));
  }
  statements_.push_back(statement);
  return statement;
}

void BareDb::Exec(const char* sql) {
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db_));
  }
}

QString BareDb::Text(const QString& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db_));
  }
  QString text;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  }
  sqlite3_finalize(statement);
  return text;
}

QStringList BareDb::LogSetTables(const QString& log_set) {
  sqlite3_stmt* walk =
      Prepare(QStringLiteral("SELECT LogFileName FROM Aconfig WHERE LogSet = ? ORDER BY rowid"));
  const QByteArray set = log_set.toUtf8();
  BindStatic(walk, 1, set);
  QStringList tables;
  while (sqlite3_step(walk) == SQLITE_ROW) {
    tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)));
  }
  sqlite3_reset(walk);
  return tables;
}

QByteArray HhMm(int minutes) {
  const int hours = minutes / 60;
  const int rest = minutes % 60;
  const char text[] = {char('0' + hours / 10), char('0' + hours % 10), ':', char('0' + rest / 10),
                       char('0' + rest % 10)};
  return QByteArray(text, sizeof text);
}

void BareDb::Run(sqlite3_stmt* statement) {
  const int result = sqlite3_step(statement);
  sqlite3_reset(statement);
  if (result != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
}

QString RowsWhere(const QString& path, const QStringList& tables, const QString& condition,
                  const QStringList& columns) {
  QString row = QStringLiteral("ID");
  for (const QString& column : columns)
    row += QStringLiteral(" || '|' || ifnull(%1, '')").arg(column);
  BareDb db(path);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  qint64 rows = 0;
  for (const QString& table : tables) {
    const QString from = QStringLiteral(" FROM \"%1\" WHERE %2").arg(table, condition);
    rows += db.Text(QStringLiteral("SELECT count(*)") + from).toLongLong();
    hash.addData(table.toUtf8());
    hash.addData(db.Text(QStringLiteral("SELECT group_concat(row, ';') FROM (SELECT %1 AS row%2 "
                                        "ORDER BY ID)")
                             .arg(row, from))
                     .toUtf8());
  }
  return QStringLiteral("%1 rows, %2")
      .arg(rows)
      .arg(QString::fromLatin1(hash.result().toHex().left(16)));
}
