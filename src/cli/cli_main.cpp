#include "cli/cli_main.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

#include "cli/check_sent_command.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/operation_commands.h"
#include "cli/unmatched_command.h"
#include "platform/app_error.h"
#include "platform/operation_lock.h"

namespace {

void PrintLine(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

using CommandFunction = int (*)(const CliRequest&, HeadlessSession&, ConsoleUi&, Outcome&);

CommandFunction CommandOf(CliRequest::Command command) {
  switch (command) {
    case CliRequest::Command::kDownloadQorv:
      return DownloadQorvCommand;
    case CliRequest::Command::kDownloadEqsl:
      return DownloadEqslCommand;
    case CliRequest::Command::kImport:
      return ImportCommand;
    case CliRequest::Command::kUpload:
      return UploadCommand;
    case CliRequest::Command::kClublog:
      return ClublogCommand;
    case CliRequest::Command::kUnmatched:
      return UnmatchedCommand;
    case CliRequest::Command::kCheckSent:
      return CheckSentCommand;
  }
  return nullptr;
}

// Whether the command may change the logbook: only those take the lock, so a
// listing runs while the window or another command works.
bool ChangesLogbook(const CliRequest& request) {
  switch (request.command) {
    case CliRequest::Command::kClublog:
      return false;
    case CliRequest::Command::kUnmatched:
      return !request.confirm_id.isEmpty();
    case CliRequest::Command::kCheckSent:
      return request.unmark;
    default:
      return true;
  }
}

int RunRequest(const CliRequest& request, std::FILE* err, bool terminal, Outcome& outcome) {
  const bool logbook = request.command != CliRequest::Command::kClublog;
  HeadlessSession session(QCoreApplication::applicationDirPath() + u'/', request.log_name, logbook);
  outcome.log_name = session.Config().LogName;
  if (logbook && !session.LogKnown()) {
    PrintLine(err, QStringLiteral("qorvsync: the log '%1' is not in the logbook's configuration")
                       .arg(session.Config().LogName));
    return request.log_name.isEmpty() ? kExitFailed : kExitUsage;
  }
  std::optional<OperationLock> lock;
  if (ChangesLogbook(request)) {
    lock.emplace(session.Config().DatabasePath, QStringLiteral("qorvsync ") + request.name);
    if (!lock->Held()) {
      PrintLine(err, QStringLiteral("qorvsync: ") + lock->Refusal());
      outcome.messages << lock->Refusal();
      return kExitFailed;
    }
  }
  ConsoleUi ui(err, terminal, session.Config().LogName);
  try {
    const int status = CommandOf(request.command)(request, session, ui, outcome);
    ui.EndProgress();
    return status;
  } catch (const AppError&) {
    // What the run had done before the error still counts.
    ui.EndProgress();
    outcome.TakeRun(ui);
    throw;
  }
}

}  // namespace

int RunCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err,
                   bool err_is_terminal) {
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.request) {
    PrintLine(parsed.text_is_error ? err : out, parsed.text);
    return parsed.status;
  }
  const CliRequest& request = *parsed.request;
  Outcome outcome;
  outcome.command = request.name;
  if (!request.file.isEmpty() && !QFileInfo(request.file).isFile()) {
    PrintLine(err, QStringLiteral("qorvsync: no such file: ") + request.file);
    return kExitUsage;
  }
  try {
    outcome.status = RunRequest(request, err, err_is_terminal, outcome);
  } catch (const AppError& error) {
    PrintLine(err, QStringLiteral("qorvsync: error: ") + error.Message());
    outcome.messages << error.Message();
    outcome.status = kExitFailed;
  }
  if (outcome.status != kExitUsage) PrintOutcome(outcome, request.json, out);
  return outcome.status;
}
