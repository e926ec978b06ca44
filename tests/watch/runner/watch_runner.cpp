// The watch loop as a process of its own, for the kill tests: Club Log
// real-time sending is real; the other operations only say they ran. Runs
// until SIGTERM.
//   watch-runner SETTINGS DATABASE STATE_FOLDER SUBMODE_FILE CLUBLOG_SERVICE EMAIL PASSWORD CALL
#include <signal.h>

#include <QCoreApplication>
#include <QTextStream>
#include <atomic>

#include "platform/app_error.h"
#include "platform/clock.h"
#include "watch/watch_loop.h"

namespace {

std::atomic<bool> stop{false};

class RunnerOperations : public WatchOperations {
 public:
  explicit RunnerOperations(ClublogSettings clublog) : clublog_(std::move(clublog)) {}
  OperationOutcome DownloadQorv(const QString&, const std::optional<QDate>&) override {
    return {true, "ran"};
  }
  OperationOutcome DownloadEqsl(const QString&, const std::optional<QDate>&) override {
    return {true, "ran"};
  }
  OperationOutcome UploadQorv(const QString&) override { return {true, "ran"}; }
  RealtimeResult SendRealtime(const QString&, const QString& adif_record) override {
    return SendRealtimeQso(clublog_, adif_record);
  }

 private:
  ClublogSettings clublog_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() != 8) return 2;
  signal(SIGTERM, [](int) { stop = true; });
  RunnerOperations operations({args[4], args[5], args[6], args[7]});
  QTextStream err(stderr);
  try {
    WatchLoop loop(
        {args[0], args[1], args[2], args[3]}, operations,
        [&err](const WatchEvent& event) {
          err << EventLine(event, true, ProgramClock().NowUtc()) << Qt::endl;
        },
        ProgramClock(), [] { return false; });
    RunWatch(loop, stop);
  } catch (const AppError& error) {
    err << error.Message() << Qt::endl;
    return 1;
  }
  return 0;
}
