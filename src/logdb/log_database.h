#ifndef QORVSYNC_LOGDB_LOG_DATABASE_H_
#define QORVSYNC_LOGDB_LOG_DATABASE_H_

#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "logdb/found_qso.h"

class DateCalls;
class SqliteStatement;
class StagedChanges;

// The current log's row of Aconfig: its table, its log set and the service
// credentials. All empty when the log is not in Aconfig.
struct LogConfiguration {
  QString LogFileName;
  QString LogSet;
  QString EQorvUserName;
  QString EQorvPassword;
  QString EQSLUserName;
  QString EQSLPassword;
};

// A QSO that has not been sent to Qorv yet, with the columns the export reads,
// each read as text (DigiBand with "." as decimal separator).
struct UnsentQso {
  qint64 rowid = 0;
  QString CallSign;
  QString QSODate;
  QString QSOTime;
  QString DigiBand;
  QString QSOBand;
  QString QSOMode;
  QString SAT_NAME;
};

// Column name and the value to write; a QDate is written as "YYYY-MM-DD",
// a bool as 0/1.
using ColumnValues = QList<std::pair<QString, QVariant>>;

// The logbook's SQLite database: one per program, used from the UI thread
// only. The logbook writes to the same file at the same time; a busy time-out
// makes us wait for its writes instead of failing. Every value is bound and
// every table name quoted, so a quote or a pattern character in a call sign,
// mode, log set or table name can select or change nothing else.
class LogDatabase {
 public:
  static constexpr int kDefaultBusyTimeoutMs = 5000;

  explicit LogDatabase(int busy_timeout_ms = kDefaultBusyTimeoutMs);
  ~LogDatabase();
  LogDatabase(const LogDatabase&) = delete;
  LogDatabase& operator=(const LogDatabase&) = delete;

  // Opens an existing database read-write; never creates one. An open
  // connection is closed first. Errors: a missing file, an Access database,
  // a file that is no database, a database locked beyond the busy time-out.
  void OpenLogDatabase(const QString& path);
  void Close();
  bool IsOpen() const;

  // The first Aconfig row (in rowid order) whose LogName is `log_name`.
  LogConfiguration LoadLogConfiguration(const QString& log_name);

  // The LogFileName of every Aconfig row of the log set, in rowid order. The
  // log poll may switch the current log during a run, so a caller may keep
  // the list for the run it started with.
  QStringList LogSetTables(const QString& log_set);

  // The first QSO of `table` that the confirmation matches, or nothing. A row
  // whose first column reads as empty text counts as not found. The record
  // holds the table's first column and `columns` (all columns when empty);
  // naming only the columns a run reads makes a lookup several times cheaper.
  std::optional<FoundQso> FindQso(const QString& table, const QsoLookup& lookup,
                                  const QStringList& columns = {});

  // Writes the given columns of one row. A name that is no column of the
  // table: "Field '%s' not found" with the name as given, nothing written.
  void ChangeRow(const QString& table, qint64 rowid, const ColumnValues& values);

  // Changes a row a look-up found: at once, as ChangeRow, or, while changes
  // are held back, into `staged` (the names are checked now all the same).
  // While held back, a look-up reads its rows as the held changes leave them.
  void ChangeFoundRow(const QString& table, const FoundQso& found, const ColumnValues& values);
  // Holds back the changes of ChangeFoundRow in `staged` from now on, the
  // look-ups reading in short read transactions meanwhile; null writes them
  // at once again.
  void HoldBackChanges(StagedChanges* staged);
  // Writes the held-back changes in the order they were made, in short
  // transactions like a WriteBatch, each only while its row still matches
  // the look-up that found it (the logbook may have changed or deleted it
  // meanwhile). After each, `written` gets its table and whether the row was
  // changed (false: it no longer matched and was left alone).
  void WriteStagedChanges(StagedChanges& staged,
                          const std::function<void(const QString&, bool)>& written);

  // The rows with QorvSent = 0, ordered by QSODate, then rowid, read from one
  // snapshot of the log straight off the statement: `count` gets their number
  // first, then `row` each row until it returns false. The row passed is
  // valid during the call only.
  void ReadUnsent(const QString& table, const std::function<void(qint64)>& count,
                  const std::function<bool(const UnsentQso&)>& row);
  // Sets QorvSent for exactly these rows. Rows written before an error stay
  // marked.
  void MarkSent(const QString& table, const QList<qint64>& rowids);

  // Groups the row changes of a run into short transactions. While a batch is
  // held, changes go into a transaction that is committed once it is 100 ms
  // old (at the next MaybeCommit or change), when the batch ends, and when an
  // error unwinds past it, so the logbook sees each change soon and no change
  // made before a failure is lost.
  class WriteBatch {
   public:
    explicit WriteBatch(LogDatabase& database);
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;
    // Commits now; errors are thrown (the destructor cannot).
    void Commit();

   private:
    LogDatabase& database_;
  };
  static constexpr int kBatchCommitMs = 100;
  // Commits the open batch transaction when it is old enough. Cheap; call it
  // for every record of a run.
  void MaybeCommit();

  QSqlDatabase& Connection() { return db_; }

 private:
  struct TableStatements;
  // What a row change checks besides the rowid: nothing, or the look-up that
  // found the row, with the call whole or as a prefix.
  enum class UpdateGuard { kNone, kEqual, kPrefix };
  static UpdateGuard GuardOf(const QsoLookup& lookup) {
    return lookup.call_match == QsoLookup::CallMatch::kPrefix ? UpdateGuard::kPrefix
                                                              : UpdateGuard::kEqual;
  }
  SqliteStatement& UpdateStatement(const QString& table, const ColumnValues& values,
                                   UpdateGuard guard);
  struct LookupTexts;

  TableStatements& StatementsFor(const QString& table);
  const LookupTexts& TextsOf(const QsoLookup& lookup);
  std::optional<std::pair<qint64, qint64>> DateRowids(const QString& table, const QByteArray& date);
  // The calls of the date in `table` (whose statements are given), when they
  // are in memory for this transaction, read now if the date has proved
  // busy; else null.
  DateCalls* CallsOfDate(const QString& table, TableStatements& statements, const QByteArray& date,
                         std::pair<qint64, qint64> rowids);
  // A change of a QSO's date or call makes what was read of dates untrue.
  void ForgetDatesIfMoved(const QString& table, const ColumnValues& values);
  const QSqlRecord& ColumnsOf(const QString& table);
  QString ColumnName(const QString& table, const QString& name);
  QSqlQuery& Prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql);
  void Execute(QSqlQuery& query);
  void ExecuteText(const QString& sql);
  void ClearCaches();
  void BeginWriteIfBatching();
  void BeginReadIfHoldingBack();
  void EndReading() noexcept;
  void CommitBatchTransaction();
  void EndBatchTransaction() noexcept;

  QString connection_name_;
  QSqlDatabase db_;
  int busy_timeout_ms_;
  std::map<QString, std::unique_ptr<TableStatements>> statements_;
  std::unique_ptr<LookupTexts> lookup_texts_;
  std::vector<qint64> candidate_rowids_;  // room used again by each look-up
  StagedChanges* staged_ = nullptr;
  // A read transaction of look-ups is open (while changes are held back).
  bool reading_ = false;
  // Counts the transactions begun: what was read in one stays true in it.
  quint64 snapshot_ = 0;
  std::unique_ptr<QSqlQuery> config_query_;
  std::unique_ptr<QSqlQuery> walk_query_;
  int batch_depth_ = 0;
  bool in_transaction_ = false;
  QElapsedTimer transaction_age_;
};

#endif  // QORVSYNC_LOGDB_LOG_DATABASE_H_
