#ifndef QORVSYNC_WATCH_WATCH_OPERATIONS_H_
#define QORVSYNC_WATCH_WATCH_OPERATIONS_H_

#include <QString>

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
  virtual OperationOutcome DownloadQorv(const QString& log) = 0;
  virtual OperationOutcome DownloadEqsl(const QString& log) = 0;
  virtual OperationOutcome UploadQorv(const QString& log) = 0;
  // One QSO of the log to Club Log's real-time interface; `adif_record` is
  // exactly one record ending in "<EOR>".
  virtual RealtimeResult SendRealtime(const QString& log, const QString& adif_record) = 0;
};

#endif  // QORVSYNC_WATCH_WATCH_OPERATIONS_H_
