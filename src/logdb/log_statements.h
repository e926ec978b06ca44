#ifndef QORVSYNC_LOGDB_LOG_STATEMENTS_H_
#define QORVSYNC_LOGDB_LOG_STATEMENTS_H_

#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "logdb/date_calls.h"
#include "logdb/log_database.h"
#include "logdb/sqlite_statement.h"

// A QSO from a row of "rowid, CallSign, QSODate, QSOTime, DigiBand, QSOBand,
// QSOMode, SAT_NAME", as the export and the watch read it.
void ReadUnsentQsoRow(const SqliteStatement& query, UnsentQso* qso);

// A lookup and the record its rows fill: the table's first column and the
// columns asked for, with the table's field types.
struct LookupStatement {
  LookupStatement(sqlite3* db, const QString& sql, QSqlRecord record)
      : statement(db, sql), columns(std::move(record)) {}
  SqliteStatement statement;
  QSqlRecord columns;
  // A prefix look-up that also binds the call range (?7, ?8) its index reads.
  bool prefix_range = false;
  // A look-up that keeps to the rowids of the QSO's date (?9, ?10).
  bool date_rowids = false;
  // For such a look-up: the same conditions on the one row ?9, for the rows
  // a date's calls in memory point to.
  std::unique_ptr<SqliteStatement> one_row;
};

// The prepared statements of one log table, kept for the life of the
// connection: a run of 100,000 confirmations prepares each of them once.
struct LogDatabase::TableStatements {
  bool columns_loaded = false;
  QSqlRecord columns;
  // One for each kind of call comparison (prefix or whole) and list of
  // columns read. A run asks with the same few lists again and again, so a
  // plain search, where a list is found at once when it is the very list of
  // the last call, beats ordering lists of names.
  struct Lookup {
    bool prefix;
    QStringList columns;
    std::unique_ptr<LookupStatement> statement;
  };
  std::vector<Lookup> lookups;
  // The lowest and highest rowid of the date last asked for, none when the
  // date has no QSO, and the transaction they were read in (0: none).
  struct DateRowids {
    QByteArray date;
    std::optional<std::pair<qint64, qint64>> rowids;
    quint64 snapshot = 0;
  };
  DateRowids date_rowids;
  std::unique_ptr<SqliteStatement> date_rowids_query;
  // The calls of the date last looked up, once it proved busy.
  DateCalls date_calls;
  std::unique_ptr<SqliteStatement> date_calls_query;
  std::unique_ptr<SqliteStatement> unsent;
  std::unique_ptr<SqliteStatement> unsent_count;
  std::unique_ptr<SqliteStatement> mark_sent;
  // One for each list of column names a change writes, as the caller spells
  // them; a run writes a few such lists, so they are searched in turn.
  struct Update {
    QStringList names;
    UpdateGuard guard;
    std::unique_ptr<SqliteStatement> statement;
  };
  std::vector<Update> updates;
};

// The texts of a look-up as its statement binds them, made once while a run
// asks the same look-up of table after table of its log set.
struct LogDatabase::LookupTexts {
  QsoLookup lookup;  // what the texts were made from
  QByteArray date;   // "yyyy-mm-dd", empty for an invalid date
  QByteArray call;   // the call, or for a prefix look-up its LIKE pattern
  // For a prefix look-up, the range of calls in any letter case it can find.
  QByteArray call_from;
  QByteArray call_to;
  QByteArray time_from;
  QByteArray time_to;
  QByteArray mode;  // the LIKE pattern that finds the mode anywhere
};

#endif  // QORVSYNC_LOGDB_LOG_STATEMENTS_H_
