#include "cli/operation_commands.h"

#include "cli/exit_status.h"
#include "cli/folder_changes.h"
#include "cli/report_file.h"
#include "confirmations/report_download.h"
#include "confirmations/report_import.h"
#include "eqsl/inbox_download.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/delay.h"
#include "platform/logbook_link.h"
#include "platform/text_codec.h"
#include "platform/window_link.h"
#include "session/configuration.h"
#include "session/download_settings.h"
#include "session/since_dates.h"
#include "session/upload_settings.h"
#include "upload/qorv_upload.h"

namespace {

QStringList WrittenFolders(const Configuration& config) {
  return {config.ProgramFolder, config.StateFolder, config.InstallPath + QStringLiteral("Download"),
          config.InstallPath + QStringLiteral("Qorv Logs")};
}

// The stored date with the day the command line gives, keeping its time of
// day as the date box would.
QDateTime WithDay(const QDateTime& stored, const QDate& day) {
  return day.isValid() ? QDateTime(day, stored.time()) : stored;
}

ClublogSettings ClublogLogin(HeadlessSession& session) {
  const StoredOptions& options = session.Options();
  return {session.Config().Services.clublog, options.clublog_email, options.clublog_password,
          options.clublog_callsign};
}

// Runs a confirmation download; an error that stops its run leaves the tally
// of the rows it had confirmed in the outcome.
template <typename Download>
ConfirmationOutcome KeepingTally(Outcome& outcome, Download&& download) {
  try {
    return download();
  } catch (const ConfirmationRunError& error) {
    outcome.TakeTally(error.Tally());
    throw;
  }
}

int RunStatus(bool carried_on, const ConsoleUi& ui) {
  return carried_on && !ui.HasFailureMessage() ? kExitDone : kExitFailed;
}

}  // namespace

void ShowChangesInLogbook() {
  SocketWindowLink window_link;
  LogbookLink logbook(window_link);
  // Without the logbook's entry window there is nothing to show the changes
  // in, and the nudge's second of waiting would only hold up a command run
  // by a timer or a script.
  if (!logbook.HasEntryWindow()) return;
  logbook.LocateLogSelector();
  logbook.NudgeLogbook(Delay);
}

int DownloadQorvCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome) {
  const Configuration& config = session.Config();
  StoredOptions& options = session.Options();
  const QDateTime since = WithDay(options.qorv_since, request.since);
  ReportDownload download =
      QorvReportDownload(config,
                         {config.EQorvUserName, config.EQorvPassword, request.from.isValid(),
                          request.from, request.to, since.date(), request.own_call},
                         ProgramClock().NowUtc());
  download.since_time = since.time();
  const FolderChanges changes(WrittenFolders(config));
  const ConfirmationOutcome run = KeepingTally(outcome, [&] {
    return DownloadConfirmations(ui, session.Database(), download,
                                 [&options] { return options.confirmation; });
  });
  if (run.since) SaveSinceDate(SinceDate::kQorv, *run.since);
  outcome.files = changes.Changed();
  outcome.TakeTally(run.tally);
  // A report that was not run moved no date: nothing was done.
  const int status = run.since ? RunStatus(run.common_tail, ui) : kExitFailed;
  if (status == kExitDone) {
    outcome.records = run.records;
    outcome.details[QStringLiteral("since")] = run.since->date().toString(Qt::ISODate);
    outcome.lines << QStringLiteral("Next download from: ") +
                         run.since->date().toString(Qt::ISODate);
    ShowChangesInLogbook();
  }
  outcome.TakeRun(ui);
  return status;
}

int DownloadEqslCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome) {
  const Configuration& config = session.Config();
  const EqslDownloadSettings settings = EqslSettings(config, ProgramClock().NowUtc());
  const EqslDates dates{request.from.isValid(), request.from, request.to,
                        WithDay(session.Options().eqsl_since, request.since)};
  const FolderChanges changes(WrittenFolders(config));
  const ConfirmationOutcome run = KeepingTally(outcome, [&] {
    return DownloadEqslInbox(
        settings, dates, [&session]() -> LogDatabase& { return session.Database(); }, ui);
  });
  if (run.since) SaveSinceDate(SinceDate::kEqsl, *run.since);
  outcome.files = changes.Changed();
  outcome.TakeTally(run.tally);
  const int status = RunStatus(run.common_tail, ui);
  if (status == kExitDone) {
    outcome.records = run.records;
    if (!run.since) {
      ui.ShowMessage(MessageKind::kInformation, QStringLiteral("The inbox holds nothing new."),
                     QString());
    }
    const QDate next = run.since.value_or(dates.received_since).date();
    outcome.details[QStringLiteral("since")] = next.toString(Qt::ISODate);
    outcome.lines << QStringLiteral("Next download from: ") + next.toString(Qt::ISODate);
    ShowChangesInLogbook();
  }
  outcome.TakeRun(ui);
  return status;
}

int ImportCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                  Outcome& outcome) {
  const Configuration& config = session.Config();
  const StoredOptions& options = session.Options();
  const TextFileLines file(request.file);
  switch (ExamineReportFile(file)) {
    case ReportFileKind::kNotAdif:
      ui.ShowMessage(MessageKind::kError, request.file + QStringLiteral(" is not an ADIF file"),
                     QString());
      outcome.TakeRun(ui);
      return kExitUsage;
    case ReportFileKind::kNoRecords:
      ui.ShowMessage(MessageKind::kWarning, request.file + QStringLiteral(" holds no ADIF records"),
                     QString());
      outcome.TakeRun(ui);
      return kExitNothingToDo;
    case ReportFileKind::kRecords:
      break;
  }
  const FolderChanges changes(WrittenFolders(config));
  ConfirmationRun run(ui, session.Database(), config.LogSet,
                      [&options] { return options.confirmation; });
  ConfirmationOutcome imported;
  try {
    imported = RunSavedReport(run, request.file, config.StateFolder, ui);
  } catch (const AppError& error) {
    outcome.TakeTally(run.Tally());
    // The window's box keeps its text; a log of a timer's run needs the place.
    throw AppError(QStringLiteral("%1, line %2: %3")
                       .arg(request.file, QString::number(run.LinesRead()), error.Message()));
  }
  outcome.files = changes.Changed();
  outcome.TakeTally(imported.tally);
  const int status = RunStatus(imported.common_tail, ui);
  if (status == kExitDone) {
    outcome.records = imported.records;
    ShowChangesInLogbook();
  }
  outcome.TakeRun(ui);
  return status;
}

int UploadCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                  Outcome& outcome) {
  const Configuration& config = session.Config();
  const StoredOptions& options = session.Options();
  // Nobody is at the screen to answer TQSL.
  const QorvUploadRequest upload = QorvUploadRequestFor(config, options.tqsl_path, options.location,
                                                        {true, request.tqsl_timeout});
  const bool clublog = request.clublog || options.clublog;
  const ClublogSettings login = ClublogLogin(session);
  const QorvUploadHooks hooks = QorvUploadHooksFor(
      config, [&options] { return options.keep_files; }, [clublog] { return clublog; },
      [&](const QString& export_file, bool keep_export) {
        const ClublogSubmission submission = SubmitExportToClublog(
            ui, login, export_file,
            [&options, keep_export] { return keep_export || options.keep_files; }, ui);
        return ClublogStepEnd{submission.common_tail, submission.reply.accepted};
      });
  const FolderChanges changes(WrittenFolders(config));
  const UploadOutcome run = RunQorvUpload(ui, session.Database(), upload, hooks);
  outcome.files = changes.Changed();
  outcome.qsos_sent = run.qsos_sent;
  outcome.TakeRun(ui);
  if (!run.result.isEmpty()) outcome.lines << run.result;
  if (run.nothing_new) return kExitNothingToDo;
  // Why the upload failed (TQSL ended at its time limit, no signed file) is
  // said in JSON too.
  if (!run.accepted && !run.result.isEmpty()) outcome.AddMessage(run.result);
  const bool clublog_refused = run.clublog && !run.clublog->accepted;
  const int status =
      run.accepted && !clublog_refused ? RunStatus(run.common_tail, ui) : kExitFailed;
  if (run.accepted) ShowChangesInLogbook();
  return status;
}

int ClublogCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                   Outcome& outcome) {
  const ClublogReply reply = UploadToClublog(ClublogLogin(session), request.file, ui);
  outcome.TakeRun(ui);
  outcome.lines += reply.lines;
  outcome.details[QStringLiteral("clublog_reply")] = reply.lines.join(u'\n');
  return reply.accepted ? kExitDone : kExitFailed;
}
