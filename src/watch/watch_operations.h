#ifndef QORVSYNC_WATCH_WATCH_OPERATIONS_H_
#define QORVSYNC_WATCH_WATCH_OPERATIONS_H_

#include <QDate>
#include <QString>
#include <optional>

#include "clublog/realtime_upload.h"

// How an operation the watch started ended: whether it did its work, and one
// line that says what came of it.
struct OperationOutcome {
  bool done = false;
  QString summary;
};

// The operations the watch starts, each on one log (its LogName), with the
// same start-up, settings and effects as the window's. The watch holds the
// logbook's operation lock around the first three while they run.
class WatchOperations {
 public:
  virtual ~WatchOperations() = default;
  // `since`: the UTC day of the log's last download of that kind that did its
  // work. The logbook keeps one stored date for all its logs, and every log's
  // download moves it, so a second watched log must not ask from there:
  // it would never ask again for what arrived since its own last download.
  // Without a day the download asks from the date stored when the watch
  // started.
  virtual OperationOutcome DownloadQorv(const QString& log, const std::optional<QDate>& since) = 0;
  virtual OperationOutcome DownloadEqsl(const QString& log, const std::optional<QDate>& since) = 0;
  virtual OperationOutcome UploadQorv(const QString& log) = 0;
  // One QSO of the log to Club Log's real-time interface; `adif_record` is
  // exactly one record ending in "<EOR>".
  virtual RealtimeResult SendRealtime(const QString& log, const QString& adif_record) = 0;
};

#endif  // QORVSYNC_WATCH_WATCH_OPERATIONS_H_
