#include "cli/command_watch_operations.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "cli/exit_status.h"
#include "cli/operation_commands.h"
#include "platform/app_error.h"
#include "session/since_dates.h"
#include "session/start_up.h"

namespace {

using CommandFunction = int (*)(const CliRequest&, HeadlessSession&, ConsoleUi&, Outcome&);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The command's outcome in one line: its text form when it did its work, its
// messages when it did not.
QString Summary(const Outcome& outcome, bool done) {
  QString text = outcome.ToText();
  if (!done || text.isEmpty()) text = outcome.messages.join(QStringLiteral("; "));
  if (text.isEmpty()) {
    text = done ? QStringLiteral("nothing to do")
                : QStringLiteral("ended with exit status %1").arg(outcome.status);
  }
  return text.replace(u'\n', QStringLiteral("; "));
}

OperationOutcome Run(const ProgramFiles& files, CommandFunction command, CliRequest::Command which,
                     const QString& name, const QString& log,
                     const std::optional<QDate>& since = std::nullopt) {
  CliRequest request;
  request.command = which;
  request.name = name;
  request.log_name = log;
  if (since) request.since = *since;
  Outcome outcome;
  outcome.command = name;
  // The command's lines are not for the watch's standard error, which says
  // each action in a line of its own.
  const std::unique_ptr<std::FILE, FileCloser> quiet(std::fopen("/dev/null", "w"));
  if (!quiet) return {false, QStringLiteral("/dev/null cannot be opened")};
  std::optional<ConsoleUi> ui;
  try {
    HeadlessSession session(files, log);
    if (!session.LogKnown()) {
      return {false, QStringLiteral("the log '%1' is not in the logbook's configuration").arg(log)};
    }
    ui.emplace(quiet.get(), false, session.Config().LogName, QString());
    outcome.status = command(request, session, *ui, outcome);
  } catch (const AppError& error) {
    outcome.AddMessage(error.Message());
    outcome.status = kExitFailed;
  }
  // What the run said before an error counts too.
  if (ui) outcome.TakeRun(*ui);
  const bool done = outcome.status == kExitDone || outcome.status == kExitNothingToDo;
  return {done, Summary(outcome, done)};
}

// The stored day; none when it is absent or unreadable, which the download
// itself then meets and reports.
std::optional<QDate> StoredDay(SinceDate which) {
  try {
    const std::optional<QDateTime> stored = ReadSinceDate(which);
    if (stored) return stored->date();
  } catch (const AppError&) {
  }
  return std::nullopt;
}

}  // namespace

CommandWatchOperations::CommandWatchOperations(ProgramFiles files)
    : files_(std::move(files)),
      qorv_start_(StoredDay(SinceDate::kQorv)),
      eqsl_start_(StoredDay(SinceDate::kEqsl)) {}

OperationOutcome CommandWatchOperations::DownloadQorv(const QString& log,
                                                      const std::optional<QDate>& since) {
  return Run(files_, DownloadQorvCommand, CliRequest::Command::kDownloadQorv,
             QStringLiteral("download qorv"), log, since ? since : qorv_start_);
}

OperationOutcome CommandWatchOperations::DownloadEqsl(const QString& log,
                                                      const std::optional<QDate>& since) {
  return Run(files_, DownloadEqslCommand, CliRequest::Command::kDownloadEqsl,
             QStringLiteral("download eqsl"), log, since ? since : eqsl_start_);
}

OperationOutcome CommandWatchOperations::UploadQorv(const QString& log) {
  return Run(files_, UploadCommand, CliRequest::Command::kUpload, QStringLiteral("upload"), log);
}

RealtimeResult CommandWatchOperations::SendRealtime(const QString&, const QString& adif_record) {
  Configuration config;
  config.ProgramFolder = files_.SettingsFolder();
  ReadServices(config);
  StoredOptions options;
  ReadStoredOptions(ProgramSettingsFile(config), options);
  return SendRealtimeQso({config.Services.clublog, options.clublog_email, options.clublog_password,
                          options.clublog_callsign},
                         adif_record);
}
