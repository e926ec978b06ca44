#ifndef QORVSYNC_WATCH_SENT_STORE_H_
#define QORVSYNC_WATCH_SENT_STORE_H_

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// What a QSO was when it went to Club Log: call, date, time, band and mode as
// the log holds them. A QSO whose fingerprint changed is another record for
// Club Log.
struct QsoFingerprint {
  QString text;
  bool operator==(const QsoFingerprint&) const = default;
};

// A QSO of a log table, by table and rowid.
struct LogRow {
  QString table;
  qint64 rowid = 0;
  bool operator==(const LogRow&) const = default;
};
size_t qHash(const LogRow& row, size_t seed = 0);

// What real-time sending did with one QSO.
struct SentEntry {
  enum class State {
    kSending,   // written before the request went out; its answer is unknown
    kSent,      // Club Log took it (logged or duplicate)
    kRejected,  // Club Log refused it for good
  };
  State state = State::kSending;
  QsoFingerprint fingerprint;
  QString reason;  // kRejected: Club Log's words
};

// The program's own record of real-time sending, in one small file of its
// state folder (never in the logbook's database, whose columns the logbook
// owns): per log table the highest rowid that existed when real-time sending
// was turned on, and per QSO above it what was sent. Every change is written
// whole and flushed before the call returns, so a kill at any moment leaves
// the state before or after the change.
//
// Exactly once: a QSO is written as kSending before its request goes out and
// as kSent after the answer. A kSending found at start-up had its request
// cut off by a kill somewhere between the two; whether Club Log logged it is
// unknown, so it is sent again. That is harmless: Club Log answers a record it
// already holds with 200 as a duplicate and keeps one copy.
class SentStore {
 public:
  // Reads the file; a missing file is an empty store. A file that cannot be
  // read throws AppError: starting afresh would send old QSOs again.
  explicit SentStore(QString path);

  const QString& Path() const { return path_; }

  std::optional<qint64> Mark(const QString& table) const;
  void SetMark(const QString& table, qint64 highest_rowid);
  // Forgets the table's mark and its QSOs: real-time sending was turned off.
  void ClearTable(const QString& table);

  const SentEntry* Find(const LogRow& row) const;
  void Put(const LogRow& row, const SentEntry& entry);
  void Erase(const LogRow& row);

  // The QSOs whose answer a kill cut off.
  QList<LogRow> Sending() const;
  // The QSOs Club Log refused for good, by table and rowid.
  QList<std::pair<LogRow, SentEntry>> Rejected() const;

  // Club Log refused this client (403) while the settings file had this
  // digest: kept across restarts, so that a restart does not send again.
  struct Block {
    QString reason;
    QByteArray settings_digest;
  };
  const std::optional<Block>& Blocked() const { return blocked_; }
  void SetBlocked(const std::optional<Block>& block);

 private:
  void Load();
  // Throws AppError when the file cannot be written.
  void Save() const;

  QString path_;
  QMap<QString, qint64> marks_;
  QHash<LogRow, SentEntry> entries_;
  std::optional<Block> blocked_;
};

#endif  // QORVSYNC_WATCH_SENT_STORE_H_
