#ifndef QORVSYNC_LOGDB_LOGGED_QSOS_H_
#define QORVSYNC_LOGDB_LOGGED_QSOS_H_

#include <QDate>
#include <QList>
#include <QString>
#include <map>
#include <memory>
#include <optional>

#include "logdb/log_database.h"

class SqliteStatement;

// A QSO of a log table as the diagnostic commands show it.
struct LoggedQso {
  qint64 rowid = 0;
  QString call;  // trimmed
  QDate date;
  QString time;  // QSOTime as stored
  double band = 0;
  QString mode;
  bool confirmed = false;  // QorvRec
};

// The QSOs of `table` marked sent to Qorv with a QSO date from `since` on (all
// of them for an invalid date), by date and rowid.
QList<LoggedQso> ReadSentQsos(LogDatabase& database, const QString& table, const QDate& since);

// Every column of one row of `table`, or nothing when the table has no such
// row.
std::optional<FoundQso> ReadQsoRow(LogDatabase& database, const QString& table, qint64 rowid);

// One read of the log from a single snapshot: SQLite then takes its file lock
// and checks the file once for the whole read instead of at every look-up,
// and the logbook (in WAL mode) still writes meanwhile. Not for use while a
// write batch is open on the connection.
class LogReadSnapshot {
 public:
  explicit LogReadSnapshot(LogDatabase& database);
  ~LogReadSnapshot();
  LogReadSnapshot(const LogReadSnapshot&) = delete;
  LogReadSnapshot& operator=(const LogReadSnapshot&) = delete;

 private:
  LogDatabase& database_;
  bool open_ = false;
};

// The look-ups that find the QSOs near a confirmation, each prepared once per
// table and served by the log's indexes on CallSign and QSODate, so that a
// report of many records costs one indexed search per record and table.
// Lives no longer than the database's connection.
class NearQsoLookups {
 public:
  explicit NearQsoLookups(LogDatabase& database);
  ~NearQsoLookups();
  NearQsoLookups(const NearQsoLookups&) = delete;
  NearQsoLookups& operator=(const NearQsoLookups&) = delete;

  // The QSOs with this call (compared as the log compares text, without
  // regard to case) from `first` to `last`, by date, time and rowid.
  QList<LoggedQso> WithCall(const QString& table, const QString& call, const QDate& first,
                            const QDate& last);
  // The QSOs of this date on this band whose call holds `part` (without
  // regard to case), by time and rowid.
  QList<LoggedQso> OnDateAndBandHolding(const QString& table, const QDate& date, double band,
                                        const QString& part);

 private:
  struct TableLookups;
  TableLookups& For(const QString& table);

  LogDatabase& database_;
  std::map<QString, std::unique_ptr<TableLookups>> tables_;
};

#endif  // QORVSYNC_LOGDB_LOGGED_QSOS_H_
