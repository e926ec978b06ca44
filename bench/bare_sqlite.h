#ifndef QORVSYNC_BENCH_BARE_SQLITE_H_
#define QORVSYNC_BENCH_BARE_SQLITE_H_

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A connection for the bare loops: sqlite3 and nothing between. Opened as the
// program opens the log (read-write, synchronous = FULL, a 16 MB page
// cache), so that both pay the same for a commit and a page read. Errors throw std::runtime_error
// with SQLite's text.
class BareDb {
 public:
  explicit BareDb(const QString& path);
  ~BareDb();
  BareDb(const BareDb&) = delete;
  BareDb& operator=(const BareDb&) = delete;

  // Prepared once, finalized with the connection.
  sqlite3_stmt* Prepare(const QString& sql);
  void Exec(const char* sql);
  // The first column of the first row as text; empty when there is none.
  QString Text(const QString& sql);
  // Steps a statement that returns no row, then resets it.
  void Run(sqlite3_stmt* statement);
  // The log tables of a log set, in the order the program walks them.
  QStringList LogSetTables(const QString& log_set);

 private:
  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> statements_;
};

// Binds bytes that outlive the statement's next step.
inline void BindStatic(sqlite3_stmt* statement, int position, const QByteArray& bytes) {
  sqlite3_bind_text(statement, position, bytes.constData(), static_cast<int>(bytes.size()),
                    SQLITE_STATIC);
}

// "hh:mm" of a minute of the day, as the look-ups bind their time window.
QByteArray HhMm(int minutes);

// "<n> rows, <hash>": the rows of `tables` for which `condition` holds, with
// the given columns, so that two runs can be checked to have changed the same
// rows in the same way.
QString RowsWhere(const QString& path, const QStringList& tables, const QString& condition,
                  const QStringList& columns);

#endif  // QORVSYNC_BENCH_BARE_SQLITE_H_
