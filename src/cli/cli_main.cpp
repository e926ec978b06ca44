#include "cli/cli_main.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

#include "cli/check_sent_command.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/log_names.h"
#include "cli/operation_commands.h"
#include "cli/unmatched_command.h"
#include "cli/watch_command.h"
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
    case CliRequest::Command::kWatch:
    case CliRequest::Command::kStatus:
      break;
  }
  return nullptr;
}

// The step the window shows as "Waiting...", in each command that has one.
QString WaitingStep(CliRequest::Command command) {
  switch (command) {
    case CliRequest::Command::kDownloadQorv:
    case CliRequest::Command::kCheckSent:
      return QStringLiteral("downloading report");
    case CliRequest::Command::kDownloadEqsl:
      return QStringLiteral("downloading inbox");
    case CliRequest::Command::kUpload:
      return QStringLiteral("preparing the upload");
    case CliRequest::Command::kImport:
    case CliRequest::Command::kClublog:
    case CliRequest::Command::kUnmatched:
    case CliRequest::Command::kWatch:
    case CliRequest::Command::kStatus:
      break;
  }
  return QStringLiteral("working");
}

// Ends the command with a line on standard error that the outcome repeats.
int Refuse(std::FILE* err, Outcome& outcome, int status, const QString& message) {
  PrintLine(err, QStringLiteral("qorvsync: ") + message);
  outcome.AddMessage(message);
  return status;
}

// Why the command's FILE cannot be read, or nothing.
QString FileProblem(const QString& file) {
  if (file.isEmpty()) return QString();
  const QFileInfo info(file);
  if (info.isDir()) return file + QStringLiteral(" is a folder, not a file");
  if (!info.exists()) return QStringLiteral("no such file: ") + file;
  return QString();
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
  // These start up on their own; the watch takes the operation lock for each
  // operation itself, so it must not hold it here too.
  if (request.command == CliRequest::Command::kWatch) return WatchCommand(request, err, outcome);
  if (request.command == CliRequest::Command::kStatus) return StatusCommand(outcome);
  const bool logbook = request.command != CliRequest::Command::kClublog;
  HeadlessSession session(ProgramFiles::OfThisProgram(), request.log_name, logbook);
  outcome.log_name = session.Config().LogName;
  if (logbook && !session.LogKnown()) {
    return Refuse(err, outcome, request.log_name.isEmpty() ? kExitFailed : kExitUsage,
                  QStringLiteral("the log '%1' is not in the logbook's configuration; its logs: %2")
                      .arg(session.Config().LogName, LogNames(session.Database()).join(u", ")));
  }
  std::optional<OperationLock> lock;
  if (ChangesLogbook(request)) {
    lock.emplace(session.Config().DatabasePath, QStringLiteral("qorvsync ") + request.name);
    if (!lock->Held()) return Refuse(err, outcome, kExitFailed, lock->Refusal());
  }
  ConsoleUi ui(err, terminal, session.Config().LogName, WaitingStep(request.command));
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
  // Help and the version are text to read, with or without --json.
  if (!parsed.request && !parsed.text_is_error) {
    PrintLine(out, parsed.text);
    return parsed.status;
  }
  Outcome outcome;
  outcome.command = parsed.command;
  if (!parsed.request) {
    PrintLine(err, parsed.text);
    outcome.AddMessage(parsed.problem);
    outcome.status = parsed.status;
  } else if (const QString problem = FileProblem(parsed.request->file); !problem.isEmpty()) {
    outcome.status = Refuse(err, outcome, kExitUsage, problem);
  } else {
    try {
      outcome.status = RunRequest(*parsed.request, err, err_is_terminal, outcome);
    } catch (const AppError& error) {
      PrintLine(err, QStringLiteral("qorvsync: error: ") + error.Message());
      outcome.AddMessage(error.Message());
      outcome.status = kExitFailed;
    }
  }
  PrintOutcome(outcome, parsed.json, out);
  return outcome.status;
}
