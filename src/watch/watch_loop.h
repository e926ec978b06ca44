#ifndef QORVSYNC_WATCH_WATCH_LOOP_H_
#define QORVSYNC_WATCH_WATCH_LOOP_H_

#include <QDateTime>
#include <QMap>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "logdb/log_database.h"
#include "platform/clock.h"
#include "upload/submode_table.h"
#include "watch/realtime_sender.h"
#include "watch/sent_store.h"
#include "watch/watch_events.h"
#include "watch/watch_operations.h"
#include "watch/watch_settings.h"
#include "watch/watch_status.h"

// Where the watch finds what it works on. Folders end with "/".
struct WatchPlaces {
  QString settings_file;  // "qorv.ini"
  QString database_path;  // the logbook's log database
  QString state_folder;   // the sent record and the status snapshot
  QString submode_file;
};

// The watch's schedule, one pass at a time; the caller runs a pass about every
// kPassIntervalMs. Each pass reads the settings again when the file changed,
// looks for new QSOs in the watched logs, sends what is due to Club Log's
// real-time interface, starts the Qorv upload of a log once no new QSO came
// for the quiet time, and the Qorv and eQSL downloads when their interval has
// passed. Each upload and download holds the logbook's operation lock; while
// another holds it (the window), the operation waits for a later pass and
// never fails for it. Every action is said through `report`.
class WatchLoop {
 public:
  static constexpr int kPassIntervalMs = 1000;

  // Opens the sent record (AppError when it cannot be read) and takes the
  // last downloads from the status snapshot. `has_display`: whether TQSL can
  // sign now (it needs an X display).
  WatchLoop(const WatchPlaces& places, WatchOperations& operations, WatchReport report,
            const Clock& clock, std::function<bool()> has_display);
  ~WatchLoop();

  // One pass. An error of the log or of the state files is said and the
  // next pass tries again.
  void Pass();

 private:
  void Work();
  void ReadSettings();
  void Follow(const QString& log, const QDateTime& now);
  void UploadWhenQuiet(const QString& log, const QDateTime& now);
  // A download, given the UTC day of its log's last one that did its work.
  using DownloadOperation = std::function<OperationOutcome(const std::optional<QDate>& since)>;
  void DownloadWhenDue(const QString& what, const QString& log, const QDateTime& now,
                       const DownloadOperation& operation);
  QDateTime DownloadDue(const QString& key) const;
  // Runs `operation` under the logbook's lock and says how it ended; nothing
  // when another holds the lock (said once per wait).
  std::optional<OperationOutcome> UnderLock(const QString& key, const QString& log,
                                            const std::function<OperationOutcome()>& operation);
  void Say(const QString& action, const QString& message, const QString& log = {});
  // Says `message` once and lists it as waiting, until `key` is forgotten.
  void SayOnce(const QString& key, const QString& action, const QString& message,
               const QString& log = {});
  void Forget(const QString& key) { waiting_.remove(key); }
  void WriteStatus();

  WatchPlaces places_;
  WatchOperations& operations_;
  WatchReport report_;
  const Clock& clock_;
  std::function<bool()> has_display_;
  WatchSettingsFile settings_file_;
  SubmodeTable submodes_;
  SentStore store_;
  RealtimeSender sender_;
  LogDatabase database_;
  QMap<QString, qint64> seen_;  // highest rowid seen, by table
  // By "<operation> of log <log>", UTC.
  QMap<QString, QDateTime> next_upload_;
  QMap<QString, QDateTime> last_download_;
  QMap<QString, QDateTime> last_try_;
  QMap<QString, QDateTime> last_done_;
  QMap<QString, QString> failures_;  // the last run failed: its summary
  QMap<QString, QString> waiting_;   // said once: key -> sentence
  QString last_error_;
  // Shown as the due time of what was never done: the status stays the same
  // from pass to pass and is not written again.
  QDateTime started_;
  QByteArray status_written_;
};

// Runs a pass every kPassIntervalMs until `stop` is set.
void RunWatch(WatchLoop& loop, const std::atomic<bool>& stop);

#endif  // QORVSYNC_WATCH_WATCH_LOOP_H_
