#include "confirmations/report_download.h"

#include <QDir>
#include <algorithm>

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

// What a saved report says of its own completeness, read line by line: the
// record count its header announces and the records that arrived (each ended
// by "<eor>" after the header's last "<eoh>", as the run reads them). One that
// holds fewer records than announced was cut off, and moving the date past it
// would lose for good the confirmations that never arrived.
class RecordTally {
 public:
  void Take(const QString& line) {
    if (header_open_) {
      header_ << line;
      header_open_ = header_.size() < kHeaderLines &&
                     !line.contains(QLatin1String("<eoh>"), Qt::CaseInsensitive);
    }
    const qsizetype header_end = line.lastIndexOf(QLatin1String("<eoh>"), -1, Qt::CaseInsensitive);
    if (header_end >= 0) arrived_ = 0;
    const QLatin1String record_end("<eor>");
    for (qsizetype at =
             line.indexOf(record_end, header_end < 0 ? 0 : header_end + 5, Qt::CaseInsensitive);
         at >= 0; at = line.indexOf(record_end, at + record_end.size(), Qt::CaseInsensitive)) {
      ++arrived_;
    }
  }

  // Why the report cannot be taken as whole, or nothing.
  QString CutShortProblem() const {
    const std::optional<int> announced = AnnouncedRecordCount(header_);
    if (!announced || arrived_ >= *announced) return QString();
    return QStringLiteral(
               "The Qorv report was cut short: it announces %1 records and %2 arrived. Nothing "
               "was changed; the next download asks again from the same date.")
        .arg(*announced)
        .arg(arrived_);
  }

 private:
  // A report's header is a few lines; what has no "<eoh>" by then has none.
  static constexpr qsizetype kHeaderLines = 200;
  QStringList header_;
  bool header_open_ = true;
  qsizetype arrived_ = 0;
};

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
  ConfirmationRun run(ui, database, download.log_set, read_options);
  std::optional<QDateTime> since;
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
    if (!client.Get(url, [&saved](const QByteArray& piece) { saved.Write(piece); })) {
      saved.Cancel();
      // Said out loud: a silent "Download QSO: 0" would read as "nothing new".
      ui.SetCaption(ui.LogName());
      ui.ShowMessage(
          MessageKind::kError,
          ExchangeFailedMessage(QStringLiteral("The Qorv report could not be downloaded"),
                                client.FailureReason()));
    } else {
      saved.Commit();
      const TextFileLines lines(saved_path);
      bool report = false;
      QString page;
      RecordTally tally;
      lines.ForEach([&](const QString& line) {
        tally.Take(line);
        report = report || line.contains(kQorvReportHeader);
        // A page without the header is explained by its beginning.
        if (!report && page.size() < kExplainedPageChars) page += line + QStringLiteral("\r\n");
      });
      if (!report) {
        ui.SetCaption(ui.LogName());
        ui.ShowMessage(MessageKind::kError, kNotReport);
        ui.ExplainFailure(ReplyExplanation(QStringLiteral("Qorv answered with no report"),
                                           client.StatusCode(), page));
        ShowQsoCount(ui, run.QsoCount());
        return OutcomeOf(run, false);
      }
      ui.SetCaption(ui.LogName());
      if (const QString problem = tally.CutShortProblem(); !problem.isEmpty()) {
        ui.ShowMessage(MessageKind::kError, problem);
        ShowQsoCount(ui, run.QsoCount());
        return OutcomeOf(run, false);
      }
      run.RunReportFile(lines);
      // The date moves last (its caller stores it once the run returned): a
      // run killed before it is asked for again whole.
      SaveErrorList(run.ErrorList(), download.program_folder, ui);
      RememberUnmatchedRunOfFile(download.program_folder, UnmatchedRunKind::kQorvDownload,
                                 saved_path, {run.ErrorList(), run.UnmatchedLines()});
      since = NextQslSinceDate(download);
    }
  } catch (...) {
    // The busy caption does not outlive the action that set it.
    ui.SetCaption(ui.LogName());
    ShowQsoCount(ui, run.QsoCount());
    throw;
  }
  ShowQsoCount(ui, run.QsoCount());
  ConfirmationOutcome outcome = OutcomeOf(run, true);
  outcome.since = since;
  return outcome;
}
