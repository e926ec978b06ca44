#ifndef QORVSYNC_CLI_COMMAND_WATCH_OPERATIONS_H_
#define QORVSYNC_CLI_COMMAND_WATCH_OPERATIONS_H_

#include "platform/program_files.h"
#include "watch/watch_operations.h"

// The watch's operations as the command line runs them: each one a fresh
// start-up (so the settings and the log's configuration are those of the
// moment) and the command's own function, without its lines on standard
// error. The caller holds the operation lock; these never take it.
class CommandWatchOperations : public WatchOperations {
 public:
  // Keeps the stored since-dates as they are now, the first download of
  // every log asks from them.
  explicit CommandWatchOperations(ProgramFiles files);

  OperationOutcome DownloadQorv(const QString& log, const std::optional<QDate>& since) override;
  OperationOutcome DownloadEqsl(const QString& log, const std::optional<QDate>& since) override;
  OperationOutcome UploadQorv(const QString& log) override;
  // With the Club Log login the window stores and the [Services] address,
  // both read again for each QSO.
  RealtimeResult SendRealtime(const QString& log, const QString& adif_record) override;

 private:
  ProgramFiles files_;
  std::optional<QDate> qorv_start_;
  std::optional<QDate> eqsl_start_;
};

#endif  // QORVSYNC_CLI_COMMAND_WATCH_OPERATIONS_H_
