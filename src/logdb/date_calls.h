#ifndef QORVSYNC_LOGDB_DATE_CALLS_H_
#define QORVSYNC_LOGDB_DATE_CALLS_H_

#include <QByteArray>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class SqliteStatement;

// The call signs of the QSOs of one date in one log table, held in memory
// so that the look-ups of a report, which come date by date, need not search
// the call index for each record. A call index grows with the log: in a log
// of a million QSOs each search reads more pages, and a prefix reads every
// longer call of the whole log ("EA8W" also reads "EA8WA" of all dates),
// while the QSOs of one date stay a few hundred.
//
// The calls are kept with ASCII letters in upper case, which is how both a
// NOCASE comparison and LIKE compare them, so the rows they point to are
// every row the look-up's own conditions could accept; those conditions
// still decide, row by row.
class DateCalls {
 public:
  // Whether the date is worth reading whole: when the look-ups asked of it
  // so far would have cost about as much as reading its rows, which lie
  // between its lowest and highest rowid. However a report orders its
  // records, the reading never costs more than a few times the look-ups.
  void Ask(const QByteArray& date, quint64 snapshot, std::pair<qint64, qint64> rowids);
  bool WorthReading() const;
  bool Holds(const QByteArray& date, quint64 snapshot) const {
    return read_ && date_ == date && snapshot_ == snapshot;
  }

  // Reads "rowid, CallSign" rows of the date from `rows`, already bound and
  // not yet stepped, for the snapshot given.
  void Read(SqliteStatement& rows, const QByteArray& date, quint64 snapshot);
  // Forgets what was read (a change of a call or a date in this table).
  void Forget() { read_ = false; }

  // The rowids, in ascending order, of the QSOs whose call equals `call`
  // (UTF-8), or begins with it when `prefix`, in any letter case.
  void RowsOf(const QByteArray& call, bool prefix, std::vector<qint64>* rowids);

 private:
  QByteArray date_;
  quint64 snapshot_ = 0;
  bool read_ = false;
  qint64 asked_ = 0;
  qint64 span_ = 0;
  std::vector<std::pair<std::string, qint64>> calls_;
  std::string folded_;  // the call asked for, room used again
};

#endif  // QORVSYNC_LOGDB_DATE_CALLS_H_
