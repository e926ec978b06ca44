#include "confirmations/report_download.h"

#include <QDir>
#include <algorithm>

#include "confirmations/confirmation_run.h"
#include "confirmations/report_records.h"
#include "confirmations/run_results.h"
#include "confirmations/unmatched_run_memory.h"
#include "net/http_client.h"
#include "net/http_failure.h"
#include "net/service_reply.h"
#include "platform/conversions.h"
#include "platform/registry.h"

namespace {

const QString kNoLogin = QStringLiteral(
    "Not Qorv login or password. Check the Vodrix_Log for the login and password fields in Log "
    "Configuration.");
const QString kNotReport = QStringLiteral(
    "The file does not appear to be an ARRL Qorv ADIF file. Processing will not continue");
const QString kDateKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");

// The next download asks only for what came after this one: the range's end,
// or the UTC day of the press. A range ending later than that day stops there,
// so that later downloads still ask for what arrives meanwhile. The picker
// keeps its time of day.
void MoveQslSinceDate(const ReportDownload& download, const QslSincePicker& picker) {
  const QDate press_day = download.start_utc.date();
  const QDate day =
      download.query.load_date ? std::min(download.query.end_date, press_day) : press_day;
  picker.set_value(QDateTime(day, picker.value().time()));
  Registry registry;
  if (!registry.OpenKey(kDateKey, true)) return;
  registry.WriteString(QStringLiteral("QorvDate_Date"),
                       EncodeStoredDate(QDateTimeToDateTime(picker.value())));
}

// Why a report is not whole, or nothing: one that holds fewer records than its
// header announces was cut off, and moving the date past it would lose for
// good the confirmations that never arrived.
QString CutShortProblem(const QStringList& lines) {
  const std::optional<int> announced = AnnouncedRecordCount(lines);
  if (!announced) return QString();
  int arrived = 0;
  ForEachReportRecord(lines, [&arrived](const ReportRecord&, qsizetype) { ++arrived; });
  if (arrived >= *announced) return QString();
  return QStringLiteral(
             "The Qorv report was cut short: it announces %1 records and %2 arrived. Nothing was "
             "changed; the next download asks again from the same date.")
      .arg(*announced)
      .arg(arrived);
}

}  // namespace

bool DownloadConfirmations(OperationUi& ui, LogDatabase& database, const ReportDownload& download,
                           const ConfirmationOptionsReader& read_options, QslSincePicker picker) {
  if (download.query.login.isEmpty() || download.query.password.isEmpty()) {
    ui.ShowMessage(MessageKind::kWarning, kNoLogin);
    return false;
  }
  ui.SetResult(ResultLabel::kQorvDownload, QString());
  ui.SetProgress(0);
  ConfirmationRun run(ui, database, download.log_set, read_options);
  try {
    const QString url = ReportUrl(download.service_address(), download.query);
    HttpClient client;
    if (download.proxy_enable) client.SetProxy(download.proxy_host, download.proxy_port);
    client.SetProtocol(QStringLiteral("1.1"));
    ui.SetCaption(QStringLiteral("Waiting..."));
    ui.ProcessEvents();
    if (!client.Get(url)) {
      // Said out loud: a silent "Download QSO: 0" would read as "nothing new".
      ui.SetCaption(ui.LogName());
      ui.ShowMessage(
          MessageKind::kError,
          ExchangeFailedMessage(QStringLiteral("The Qorv report could not be downloaded"),
                                client.FailureReason()));
    } else {
      const QStringList lines = client.ReplyLines();
      const QString folder = download.install_path + QStringLiteral("Download");
      QDir().mkdir(folder);
      // Kept before it is examined, so a refusal page can be looked at.
      client.SaveReply(folder + QStringLiteral("/qorvreport.adi"));
      if (!client.ReplyText().contains(kQorvReportHeader)) {
        ui.SetCaption(ui.LogName());
        ui.ShowMessage(MessageKind::kError, kNotReport);
        ui.ExplainFailure(ReplyExplanation(QStringLiteral("Qorv answered with no report"),
                                           client.StatusCode(), client.ReplyText()));
        ShowQsoCount(ui, run.QsoCount());
        return false;
      }
      ui.SetCaption(ui.LogName());
      if (const QString problem = CutShortProblem(lines); !problem.isEmpty()) {
        ui.ShowMessage(MessageKind::kError, problem);
        ShowQsoCount(ui, run.QsoCount());
        return false;
      }
      run.RunReportLines(lines);
      // The date moves last: a run killed before it is asked for again whole.
      SaveErrorList(run.ErrorList(), download.program_folder, ui);
      RememberUnmatchedRun(download.program_folder, UnmatchedRunKind::kQorvDownload,
                           folder + QStringLiteral("/qorvreport.adi"), lines, run.ErrorList());
      MoveQslSinceDate(download, picker);
    }
  } catch (...) {
    // The busy caption does not outlive the action that set it.
    ui.SetCaption(ui.LogName());
    ShowQsoCount(ui, run.QsoCount());
    throw;
  }
  ShowQsoCount(ui, run.QsoCount());
  return true;
}
