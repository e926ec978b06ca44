#include "confirmations/report_download.h"

#include <QDir>
#include <algorithm>
#include <optional>
#include <utility>

#include "confirmations/arriving_matching.h"
#include "confirmations/confirmation_run.h"
#include "confirmations/report_records.h"
#include "confirmations/run_results.h"
#include "confirmations/text_file_lines.h"
#include "confirmations/unmatched_run_memory.h"
#include "net/http_client.h"
#include "net/http_failure.h"
#include "net/service_reply.h"
#include "platform/app_error.h"
#include "platform/arriving_file.h"

namespace {

const QString kNoLogin = QStringLiteral(
    "Not Qorv login or password. Check the Vodrix_Log for the login and password fields in Log "
    "Configuration.");
const QString kNotReport = QStringLiteral(
    "The file does not appear to be an ARRL Qorv ADIF file. Processing will not continue");
constexpr qsizetype kExplainedPageChars = 64 * 1024;

// The next download asks only for what came after this one: the range's end,
// or the UTC day of the press. A range ending later than that day stops there,
// so that later downloads still ask for what arrives meanwhile. The date
// keeps its time of day.
QDateTime NextQslSinceDate(const ReportDownload& download) {
  const QDate press_day = download.start_utc.date();
  const QDate day =
      download.query.load_date ? std::min(download.query.end_date, press_day) : press_day;
  return QDateTime(day, download.since_time);
}

ConfirmationOutcome OutcomeOf(const ConfirmationRun& run, bool common_tail) {
  return {common_tail, run.QsoCount(), run.Tally(), run.ErrorList(), std::nullopt};
}

// What a saved report says of its own completeness: the record count its
// header announces, against the records that arrived (each ended by "<eor>"
// after the header's last "<eoh>", as the run reads them, counted by a
// RecordLayout over the same lines). One that holds fewer records than
// announced was cut off, and moving the date past it would lose for good the
// confirmations that never arrived.
class RecordTally {
 public:
  // Every line in order; only a report's first lines are kept.
  void Take(const QString& line) {
    if (!header_open_) return;
    header_ << line;
    header_open_ = header_.size() < kHeaderLines &&
                   !line.contains(QLatin1String("<eoh>"), Qt::CaseInsensitive);
  }

  // Why the report cannot be taken as whole, or nothing.
  QString CutShortProblem(const RecordLayout& arrived) const {
    const std::optional<int> announced = AnnouncedRecordCount(header_);
    if (!announced || arrived.records >= *announced) return QString();
    return QStringLiteral(
               "The Qorv report was cut short: it announces %1 records and %2 arrived. Nothing "
               "was changed; the next download asks again from the same date.")
        .arg(*announced)
        .arg(arrived.records);
  }

 private:
  // A report's header is a few lines; what has no "<eoh>" by then has none.
  static constexpr qsizetype kHeaderLines = 200;
  QStringList header_;
  bool header_open_ = true;
};

// The report matched as it arrives: every line goes to the record tally,
// the header check and, once the header has come, to the run. A report's
// header comes in its first lines; the lines before it wait, and a reply
// without one is no report: it is examined from its file.
class ArrivingReport {
 public:
  ArrivingReport(ConfirmationRun& run, LogDatabase& database)
      : run_(run), matching_(database, [this](const QString& line) { Take(line); }) {}

  void Add(const QByteArray& piece) { matching_.Add(piece); }
  void Finish() { matching_.Finish(); }
  // Whether the whole report was read, and matched from its header on.
  bool Whole() const { return matching_.Whole() && report_; }
  const RecordTally& Tally() const { return tally_; }
  qsizetype Records() const { return matching_.Records(); }
  StagedChanges& Staged() { return matching_.Staged(); }
  const RecordLayout& Layout() const { return matching_.Layout(); }
  const ArrivingMatching& Matching() const { return matching_; }

 private:
  static constexpr qsizetype kWaitingLines = 200;

  void Take(const QString& line) {
    tally_.Take(line);
    if (!report_) {
      waiting_ << line;
      report_ = line.contains(kQorvReportHeader);
      if (!report_) {
        if (waiting_.size() >= kWaitingLines) matching_.GiveUp();
        return;
      }
      for (const QString& waited : std::exchange(waiting_, {})) run_.TakeArrivingLine(waited);
      return;
    }
    run_.TakeArrivingLine(line);
  }

  ConfirmationRun& run_;
  ArrivingMatching matching_;
  RecordTally tally_;
  QStringList waiting_;
  bool report_ = false;
};

// Examines and matches the saved report as a whole. Returns the outcome when
// it is no report or was cut short; nothing when the run went through.
std::optional<ConfirmationOutcome> MatchSavedReport(OperationUi& ui, ConfirmationRun& run,
                                                    int status_code, const QString& saved_path) {
  const TextFileLines lines(saved_path);
  bool report = false;
  QString page;
  RecordTally tally;
  RecordLayout layout;
  lines.ForEach([&](const QString& line) {
    tally.Take(line);
    layout.Take(line);
    report = report || line.contains(kQorvReportHeader);
    // A page without the header is explained by its beginning.
    if (!report && page.size() < kExplainedPageChars) page += line + QStringLiteral("\r\n");
  });
  if (!report) {
    ui.SetCaption(ui.LogName());
    ui.ShowMessage(MessageKind::kError, kNotReport);
    ui.ExplainFailure(
        ReplyExplanation(QStringLiteral("Qorv answered with no report"), status_code, page));
    ShowQsoCount(ui, run.QsoCount());
    return OutcomeOf(run, false);
  }
  ui.SetCaption(ui.LogName());
  if (const QString problem = tally.CutShortProblem(layout); !problem.isEmpty()) {
    ui.ShowMessage(MessageKind::kError, problem);
    ShowQsoCount(ui, run.QsoCount());
    return OutcomeOf(run, false);
  }
  run.RunReportFile(lines);
  return std::nullopt;
}

}  // namespace

ConfirmationOutcome DownloadConfirmations(OperationUi& ui, LogDatabase& database,
                                          const ReportDownload& download,
                                          const ConfirmationOptionsReader& read_options) {
  if (download.query.login.isEmpty() || download.query.password.isEmpty()) {
    ui.ShowMessage(MessageKind::kWarning, kNoLogin);
    return {};
  }
  ui.SetResult(ResultLabel::kQorvDownload, QString());
  ui.SetProgress(0);
  std::optional<ConfirmationRun> matching;
  matching.emplace(ui, database, download.log_set, read_options);
  ConfirmationRun* run = &*matching;
  std::optional<QDateTime> since;
  // Records counted while the report arrived count only once it has.
  bool arrived = false;
  try {
    const QString url = ReportUrl(download.service_address(), download.query);
    HttpClient client;
    if (download.proxy_enable) client.SetProxy(download.proxy_host, download.proxy_port);
    client.SetProtocol(QStringLiteral("1.1"));
    ui.SetCaption(QStringLiteral("Waiting..."));
    ui.ProcessEvents();
    const QString folder = download.install_path + QStringLiteral("Download");
    const QString saved_path = folder + QStringLiteral("/qorvreport.adi");
    QDir().mkdir(folder);
    // Kept before it is examined, so a refusal page can be looked at. It is
    // written as it arrives beside the old copy and replaces it only whole.
    ArrivingFile saved(saved_path);
    std::optional<ArrivingReport> arriving;
    arriving.emplace(*run, database);
    if (!client.Get(url, [&](const QByteArray& piece) {
          saved.Write(piece);
          arriving->Add(piece);
        })) {
      saved.Cancel();
      // What arrived before the failure counts for nothing.
      arriving.reset();
      run = &matching.emplace(ui, database, download.log_set, read_options);
      // Said out loud: a silent "Download QSO: 0" would read as "nothing new".
      ui.SetCaption(ui.LogName());
      ui.ShowMessage(
          MessageKind::kError,
          ExchangeFailedMessage(QStringLiteral("The Qorv report could not be downloaded"),
                                client.FailureReason()));
    } else {
      arrived = true;
      saved.Commit();
      arriving->Finish();
      if (arriving->Whole()) {
        ui.SetCaption(ui.LogName());
        if (const QString problem = arriving->Tally().CutShortProblem(arriving->Layout());
            !problem.isEmpty()) {
          ui.ShowMessage(MessageKind::kError, problem);
          // Nothing of the report counts: it is asked for again whole.
          ShowQsoCount(ui, 0);
          return {};
        }
        run->WriteArrived(arriving->Staged(), arriving->Records());
      } else {
        // What was matched on the way is dropped, changes and counts alike.
        arriving.reset();
        run = &matching.emplace(ui, database, download.log_set, read_options);
        const std::optional<ConfirmationOutcome> refused =
            MatchSavedReport(ui, *run, client.StatusCode(), saved_path);
        if (refused) return *refused;
      }
      // The date moves last (its caller stores it once the run returned): a
      // run killed before it is asked for again whole.
      SaveErrorList(run->ErrorList(), download.program_folder, ui);
      RememberUnmatchedRunOfReply(download.program_folder, UnmatchedRunKind::kQorvDownload,
                                  saved_path, {run->ErrorList(), run->UnmatchedLines()},
                                  arriving ? &arriving->Matching() : nullptr);
      since = NextQslSinceDate(download);
    }
  } catch (...) {
    // The busy caption does not outlive the action that set it.
    ui.SetCaption(ui.LogName());
    ShowQsoCount(ui, arrived ? run->QsoCount() : 0);
    throw;
  }
  ShowQsoCount(ui, run->QsoCount());
  ConfirmationOutcome outcome = OutcomeOf(*run, true);
  outcome.since = since;
  return outcome;
}
