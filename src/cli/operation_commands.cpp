#include "cli/operation_commands.h"

#include <QSqlQuery>

#include "cli/exit_status.h"
#include "cli/folder_changes.h"
#include "cli/report_file.h"
#include "confirmations/report_download.h"
#include "confirmations/report_import.h"
#include "eqsl/inbox_download.h"
#include "logdb/sql_text.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/delay.h"
#include "platform/logbook_link.h"
#include "platform/text_codec.h"
#include "platform/window_link.h"
#include "session/download_settings.h"
#include "upload/qorv_upload.h"

namespace {

QString SettingsFile(const Configuration& config) {
  return config.ProgramFolder + QStringLiteral("qorv.ini");
}

QStringList WrittenFolders(const Configuration& config) {
  return {config.ProgramFolder, config.StateFolder, config.InstallPath + QStringLiteral("Download"),
          config.InstallPath + QStringLiteral("Qorv Logs")};
}

// The stored date with the day the command line gives, keeping its time of
// day as the date box would.
QDateTime WithDay(const QDateTime& stored, const QDate& day) {
  return day.isValid() ? QDateTime(day, stored.time()) : stored;
}

// The eQSL page's dates, held in variables instead of date boxes.
class EqslDates : public EqslDatePage {
 public:
  EqslDates(const CliRequest& request, QDateTime since)
      : range_(request.from.isValid()),
        from_(request.from),
        to_(request.to),
        since_(std::move(since)) {}

  bool LoadFromDate() const override { return range_; }
  QDate RangeStart() const override { return from_; }
  QDate RangeEnd() const override { return to_; }
  QDateTime ReceivedSince() const override { return since_; }
  void SetReceivedSince(const QDateTime& value) override {
    since_ = value;
    finished_ = true;
  }
  bool Finished() const { return finished_; }

 private:
  bool range_;
  QDate from_;
  QDate to_;
  QDateTime since_;
  bool finished_ = false;
};

ClublogSettings ClublogLogin(HeadlessSession& session) {
  const StoredOptions& options = session.Options();
  return {session.Config().Services.clublog, options.clublog_email, options.clublog_password,
          options.clublog_callsign};
}

int RunStatus(bool carried_on, const ConsoleUi& ui) {
  return carried_on && !ui.HasFailureMessage() ? kExitDone : kExitFailed;
}

}  // namespace

void ShowChangesInLogbook() {
  SocketWindowLink window_link;
  LogbookLink logbook(window_link);
  logbook.LocateLogSelector();
  logbook.NudgeLogbook(Delay);
}

int CountSentQsos(LogDatabase& database, const QString& table) {
  QSqlQuery query(database.Connection());
  if (!query.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE QorvSent <> 0")
                      .arg(QuoteIdentifier(table))) ||
      !query.next()) {
    throw AppError(QStringLiteral("Cannot count the sent QSOs of %1").arg(table));
  }
  return query.value(0).toInt();
}

int DownloadQorvCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome) {
  const Configuration& config = session.Config();
  StoredOptions& options = session.Options();
  QDateTime since = WithDay(options.qorv_since, request.since);
  const ReportDownload download =
      QorvReportDownload(config,
                         {config.EQorvUserName, config.EQorvPassword, request.from.isValid(),
                          request.from, request.to, since.date(), request.own_call},
                         ProgramClock().NowUtc());
  bool moved = false;
  const QslSincePicker picker = {[&since] { return since; },
                                 [&since, &moved](const QDateTime& value) {
                                   since = value;
                                   moved = true;
                                 }};
  const FolderChanges changes(WrittenFolders(config));
  const bool carried_on = DownloadConfirmations(
      ui, session.Database(), download, [&options] { return options.confirmation; }, picker);
  outcome.files = changes.Changed();
  // A report that was not run moved no date: nothing was done.
  const int status = moved ? RunStatus(carried_on, ui) : kExitFailed;
  if (status == kExitDone) {
    outcome.records = ui.Result(ResultLabel::kQorvDownload).section(u' ', -1).toInt();
    outcome.details[QStringLiteral("since")] = since.date().toString(Qt::ISODate);
    outcome.lines << QStringLiteral("Next download from: ") + since.date().toString(Qt::ISODate);
    ShowChangesInLogbook();
  }
  outcome.TakeRun(ui);
  return status;
}

int DownloadEqslCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome) {
  const Configuration& config = session.Config();
  const EqslDownloadSettings settings = EqslSettings(config, ProgramClock().NowUtc());
  EqslDates page(request, WithDay(session.Options().eqsl_since, request.since));
  const FolderChanges changes(WrittenFolders(config));
  const bool carried_on = DownloadEqslInbox(
      settings, page, [&session]() -> LogDatabase& { return session.Database(); }, ui);
  outcome.files = changes.Changed();
  const int status = RunStatus(carried_on, ui);
  if (status == kExitDone) {
    outcome.records = ui.Result(ResultLabel::kEqslDownload).section(u' ', -1).toInt();
    if (!page.Finished()) {
      ui.ShowMessage(MessageKind::kInformation, QStringLiteral("The inbox holds nothing new."),
                     QString());
    }
    outcome.details[QStringLiteral("since")] = page.ReceivedSince().date().toString(Qt::ISODate);
    outcome.lines << QStringLiteral("Next download from: ") +
                         page.ReceivedSince().date().toString(Qt::ISODate);
    ShowChangesInLogbook();
  }
  outcome.TakeRun(ui);
  return status;
}

int ImportCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                  Outcome& outcome) {
  const Configuration& config = session.Config();
  const StoredOptions& options = session.Options();
  const QStringList lines = ReadTextFileLines(request.file);
  switch (ExamineReportFile(lines)) {
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
  try {
    RunSavedReport(run, request.file, lines, config.StateFolder, ui);
  } catch (const AppError& error) {
    // The window's box keeps its text; a log of a timer's run needs the place.
    throw AppError(QStringLiteral("%1, line %2: %3")
                       .arg(request.file, QString::number(run.LinesRead()), error.Message()));
  }
  outcome.files = changes.Changed();
  const int status = RunStatus(true, ui);
  if (status == kExitDone) {
    outcome.records = run.QsoCount();
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
  const QorvUploadRequest upload{
      config.InstallPath,   config.ProgramFolder, config.LogFileName, config.EQorvUserName,
      config.EQorvPassword, options.tqsl_path,    options.location,   {true, request.tqsl_timeout}};
  const bool clublog = request.clublog || options.clublog;
  const ClublogSettings login = ClublogLogin(session);
  bool clublog_refused = false;
  const QorvUploadHooks hooks{
      [&config] {
        return RequireServiceAddress(config.Services.qorv, QStringLiteral("Qorv"),
                                     SettingsFile(config));
      },
      [&options] { return options.keep_files; }, [clublog] { return clublog; },
      [&](const QString& export_file, bool keep_export) {
        const bool carried_on = SubmitExportToClublog(
            ui, login, export_file,
            [&options, keep_export] { return keep_export || options.keep_files; }, ui);
        clublog_refused = ui.ClublogReply().value(0) != QLatin1String(kClublogAccepted);
        return carried_on;
      }};
  const int sent_before = CountSentQsos(session.Database(), config.LogFileName);
  const FolderChanges changes(WrittenFolders(config));
  const bool carried_on = RunQorvUpload(ui, session.Database(), upload, hooks);
  outcome.files = changes.Changed();
  outcome.qsos_sent = CountSentQsos(session.Database(), config.LogFileName) - sent_before;
  outcome.TakeRun(ui);
  const QString result = ui.Result(ResultLabel::kUpload);
  if (!result.isEmpty()) outcome.lines << result;
  if (ui.HasMessage(QStringLiteral("No new QSO."))) return kExitNothingToDo;
  const bool accepted = result.startsWith(QLatin1String("Uploading was successful"));
  // Why the upload failed (TQSL ended at its time limit, no signed file) is
  // said in JSON too.
  if (!accepted && !result.isEmpty()) outcome.AddMessage(result);
  const int status = accepted && !clublog_refused ? RunStatus(carried_on, ui) : kExitFailed;
  if (accepted) ShowChangesInLogbook();
  return status;
}

int ClublogCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                   Outcome& outcome) {
  const bool accepted = UploadToClublog(ClublogLogin(session), request.file, ui);
  outcome.TakeRun(ui);
  outcome.lines += ui.ClublogReply();
  outcome.details[QStringLiteral("clublog_reply")] = ui.ClublogReply().join(u'\n');
  return accepted ? kExitDone : kExitFailed;
}
