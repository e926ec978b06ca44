#ifndef QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_FILES_H_
#define QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_FILES_H_

#include <QString>
#include <QStringList>
#include <vector>

// What the running logbook keeps in its installation folder: the current
// log's name in "Vodrix_Log3.ini" and the logs in "db/logs.mdb".

// [EditNewQso] LogName; empty when the file, section or key is missing.
QString ReadCurrentLogName(const QString& ini_path);
// Keeps every other line of the file. Throws AppError.
void WriteCurrentLogName(const QString& ini_path, const QString& log_name);

struct QsoRow {
  qint64 id = 0;
  QString date;
  QString time;
  QString call;
  QString band;
  QString mode;
  bool qorv_rec = false;
  bool eqsl_rec = false;
  bool qorv_sent = false;
};

// The log database, opened read-write with a busy time-out on its own
// connection (so several can live in one process), never created. Errors
// throw AppError.
class LogbookDatabase {
 public:
  explicit LogbookDatabase(const QString& path);
  ~LogbookDatabase();
  LogbookDatabase(const LogbookDatabase&) = delete;
  LogbookDatabase& operator=(const LogbookDatabase&) = delete;

  // Aconfig's log names in table order.
  QStringList LogNames() const;
  // The QSOs of the log's table, newest first; none when the log is unknown.
  std::vector<QsoRow> LoadQsos(const QString& log_name) const;

 private:
  QString connection_name_;
};

#endif  // QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_FILES_H_
