#include "cli/watch_command.h"

#include <signal.h>

#include <QFileInfo>
#include <QLockFile>
#include <atomic>

#include "cli/command_watch_operations.h"
#include "cli/exit_status.h"
#include "cli/headless_session.h"
#include "platform/clock.h"
#include "watch/watch_loop.h"
#include "watch/watch_status.h"

namespace {

std::atomic<bool> stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void RequestStop(int) { stop_requested = true; }

// Restarting interrupted calls: a signal must not break the exchange or the
// TQSL wait in hand, only end the loop after it.
void StopOnSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// TQSL signs only where it can open a window.
bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void Print(std::FILE* err, const WatchEvent& event, bool json) {
  std::fputs(EventLine(event, json, ProgramClock().NowUtc()).toLocal8Bit().constData(), err);
  std::fputc('\n', err);
  std::fflush(err);
}

}  // namespace

int WatchCommand(const CliRequest& request, std::FILE* err, Outcome& outcome) {
  const ProgramFiles files = ProgramFiles::OfThisProgram();
  // The settings and the logbook's whereabouts only: each operation starts up
  // on its own log.
  HeadlessSession session(files, QString(), false);
  const Configuration& config = session.Config();
  const WatchPlaces places{ProgramSettingsFile(config), config.DatabasePath, config.StateFolder,
                           SubmodeFilePath(config.ProgramFolder)};
  // Two watches would each send the same new QSO.
  QLockFile only_watch(places.state_folder + QStringLiteral("watch.lock"));
  only_watch.setStaleLockTime(0);
  if (!only_watch.tryLock(0)) {
    qint64 pid = 0;
    QString host, application;
    only_watch.getLockInfo(&pid, &host, &application);
    const QString message =
        QStringLiteral("another qorvsync watch (process %1) is watching with the state in %2")
            .arg(pid)
            .arg(places.state_folder);
    std::fputs((QStringLiteral("qorvsync: ") + message + u'\n').toLocal8Bit().constData(), err);
    outcome.AddMessage(message);
    return kExitFailed;
  }
  stop_requested = false;
  StopOnSignals();
  const bool json = request.json;
  const WatchReport report = [err, json](const WatchEvent& event) { Print(err, event, json); };
  CommandWatchOperations operations(files);
  WatchLoop loop(places, operations, report, ProgramClock(), HasDisplay);
  report({QStringLiteral("start"),
          QStringLiteral("Watching as %1 says, with the state in %2.")
              .arg(places.settings_file, places.state_folder),
          {}});
  RunWatch(loop, stop_requested);
  report({QStringLiteral("stop"), QStringLiteral("Stopped."), {}});
  return kExitDone;
}

int StatusCommand(Outcome& outcome) {
  HeadlessSession session(ProgramFiles::OfThisProgram(), QString(), false);
  const QString path = WatchStatusPath(session.Config().StateFolder);
  const QJsonObject status = ReadWatchStatus(path);
  if (status.isEmpty()) {
    outcome.lines << QStringLiteral("No watch has run: %1 does not exist.").arg(path);
  } else {
    outcome.lines << DescribeWatchStatus(status);
  }
  outcome.details.insert(QStringLiteral("watch"), status);
  return kExitDone;
}
