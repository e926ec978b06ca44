#include "eqsl/inbox_download.h"

#include <QDir>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <optional>

#include "confirmations/arriving_matching.h"
#include "confirmations/text_file_lines.h"
#include "confirmations/unmatched_run_memory.h"
#include "eqsl/ignore_list.h"
#include "eqsl/inbox_finish.h"
#include "eqsl/inbox_run.h"
#include "net/http_client.h"
#include "net/http_failure.h"
#include "net/service_reply.h"
#include "platform/app_error.h"
#include "platform/arriving_file.h"
#include "platform/text_codec.h"

namespace {

constexpr char kLinkMarker[] = "<LI><A HREF=\"../downloadedfiles/";
// How the inbox page says that nothing matches the request.
constexpr char kNothingNew[] = "You have no log entries";
constexpr qsizetype kFileNameRoom = 100;
constexpr qsizetype kExplainedPageBytes = 64 * 1024;
// A run that ended before any inbox line was read, with the common tail.
const ConfirmationOutcome kTailWithoutRecords{true, 0, {}, {}, std::nullopt};

QString Encoded(const QString& value) {
  return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// The link's name is the server's own text, sent back as it stands, except
// what would break the request line (blanks, controls, quotes, non-ASCII).
QString SafeTarget(const QString& file_name) {
  return QString::fromLatin1(QUrl::toPercentEncoding(file_name, "!$&'()*+,;=:@/?#%~[]"));
}

QString RangeDate(const QDate& date) { return date.toString(QStringLiteral("MM/dd/yyyy")); }

// The end of every run after the credential check: the count reached, in red,
// however the run ends.
class CountLabel {
 public:
  CountLabel(OperationUi& ui, const std::optional<EqslInboxRun>& run) : ui_(ui), run_(run) {}
  ~CountLabel() {
    ui_.SetResult(ResultLabel::kEqslDownload,
                  QStringLiteral("Download QSO: %1").arg(run_ ? run_->QsoCount() : 0));
  }
  CountLabel(const CountLabel&) = delete;
  CountLabel& operator=(const CountLabel&) = delete;

 private:
  OperationUi& ui_;
  const std::optional<EqslInboxRun>& run_;
};

// A failed request is said out loud, with the log name back in the caption.
void ReportFailedRequest(OperationUi& ui, const QString& what_failed, const HttpClient& client) {
  ui.SetCaption(ui.LogName());
  ui.ShowMessage(MessageKind::kError, ExchangeFailedMessage(what_failed, client.FailureReason()));
}

void MakeDownloadFolder(const QString& folder) {
  if (QDir(folder).exists()) return;
  // One level, as the logbook's folder is expected to exist.
  if (!QDir().mkdir(folder)) {
    const int code = errno;
    throw AppError(QStringLiteral("Cannot create folder \"%1\". %2")
                       .arg(folder, QString::fromLocal8Bit(std::strerror(code))));
  }
}

}  // namespace

QString EqslInboxUrl(const EqslDownloadSettings& settings, const EqslDates& dates) {
  QString url = settings.service + QStringLiteral("/qslcard/DownloadInbox.cfm?Username=") +
                Encoded(settings.user_name) + QStringLiteral("&Password=") +
                Encoded(settings.password);
  if (dates.load_from_date) {
    url += QStringLiteral("&LimitDateLo=") + RangeDate(dates.range_start) +
           QStringLiteral("&LimitDateHi=") + RangeDate(dates.range_end);
  } else {
    url += QStringLiteral("&RcvdSince=") +
           dates.received_since.date().toString(QStringLiteral("yyyyMMdd"));
  }
  return url;
}

bool EqslLinkedFile(const QString& page_text, QString* file_name) {
  const QLatin1String marker(kLinkMarker);
  const qsizetype at = page_text.indexOf(marker);
  if (at < 0) return false;
  const QString room = page_text.mid(at + marker.size(), kFileNameRoom);
  const qsizetype quote = room.indexOf(u'"');
  *file_name = quote < 0 ? QString() : room.left(quote);
  return true;
}

ConfirmationOutcome DownloadEqslInbox(const EqslDownloadSettings& settings, const EqslDates& dates,
                                      const std::function<LogDatabase&()>& database,
                                      OperationUi& ui) {
  if (settings.user_name.isEmpty() || settings.password.isEmpty()) {
    ui.ShowMessage(MessageKind::kWarning, QStringLiteral("Not eQSLcc login or password"));
    return {};
  }
  ui.SetResult(ResultLabel::kEqslDownload, QString());
  ui.SetProgress(0);
  QStringList ignore_list = LoadIgnoreList(settings.program_folder);

  std::optional<EqslInboxRun> run;
  const CountLabel count_label(ui, run);
  HttpClient client;
  const QString url = EqslInboxUrl(settings, dates);
  if (settings.proxy_enable) client.SetProxy(settings.proxy_host, settings.proxy_port);
  client.SetProtocol(QStringLiteral("1.1"));
  ui.SetCaption(QStringLiteral("Waiting..."));

  if (!client.Get(url)) {
    ReportFailedRequest(ui, QStringLiteral("The eQSL inbox could not be requested"), client);
    return kTailWithoutRecords;
  }
  const QString reply = client.ReplyText();
  if (reply.contains(QLatin1String(kEqslCredentialError))) {
    ui.SetCaption(ui.LogName());
    ui.ShowMessage(MessageKind::kPlain, QString::fromLatin1(kEqslCredentialError));
    return {};
  }
  QString file_name;
  if (!EqslLinkedFile(reply, &file_name)) {
    // Only the page that says so means "nothing new"; any other page (an
    // outage, a maintenance notice, a refused date) is a failure, and the
    // date stays where it is.
    ui.SetCaption(ui.LogName());
    if (!reply.contains(QLatin1String(kNothingNew), Qt::CaseInsensitive)) {
      ui.ShowMessage(
          MessageKind::kError,
          ExchangeFailedMessage(QStringLiteral("The eQSL inbox could not be requested"),
                                ReplyExplanation(QStringLiteral("eQSL sent no inbox file"),
                                                 client.StatusCode(), reply)));
    }
    return kTailWithoutRecords;
  }
  const QString folder = settings.install_path + QStringLiteral("Download/");
  const QString saved_path = folder + QStringLiteral("updateeQSLcc.adi");
  MakeDownloadFolder(folder);
  // Written as it arrives beside the old copy, which it replaces only whole,
  // and matched as it arrives. The beginning is also kept, to explain an
  // error page.
  ArrivingFile saved(saved_path);
  QByteArray beginning;
  LogDatabase& log = database();
  run.emplace(log, settings.log_set, ignore_list, ui);
  std::optional<ArrivingMatching> arriving;
  arriving.emplace(log, [&run](const QString& line) { run->TakeArrivingLine(line); });
  bool got = false;
  try {
    got = client.Get(settings.service + QStringLiteral("/downloadedfiles/") + SafeTarget(file_name),
                     [&](const QByteArray& piece) {
                       if (beginning.size() < kExplainedPageBytes) beginning += piece;
                       saved.Write(piece);
                       arriving->Add(piece);
                     });
  } catch (...) {
    // Records counted while the file arrived count only once it has.
    arriving.reset();
    run.reset();
    throw;
  }
  if (!got) {
    saved.Cancel();
    // What arrived before the failure counts for nothing.
    arriving.reset();
    run.reset();
    ReportFailedRequest(ui, QStringLiteral("The eQSL inbox file could not be downloaded"), client);
    return kTailWithoutRecords;
  }
  // An error page instead of the file holds none of the inbox: read as one,
  // it would move the date past confirmations never seen.
  if (client.StatusCode() < 200 || client.StatusCode() > 299) {
    saved.Cancel();
    arriving.reset();
    run.reset();
    ui.SetCaption(ui.LogName());
    ui.ShowMessage(
        MessageKind::kError,
        ExchangeFailedMessage(
            QStringLiteral("The eQSL inbox file could not be downloaded"),
            ReplyExplanation(QStringLiteral("eQSL sent no inbox file"), client.StatusCode(),
                             JoinLinesCrLf(SplitLines(DecodeTextDetectingUtf8(beginning).text)))));
    return kTailWithoutRecords;
  }

  saved.Commit();
  arriving->Finish();
  ui.SetCaption(ui.LogName());
  if (arriving->Whole()) {
    run->WriteArrived(arriving->Staged(), arriving->Records());
  } else {
    // The file reads otherwise than it arrived: what was matched on the way
    // is dropped, and the file is matched as a whole.
    arriving.reset();
    run.emplace(log, settings.log_set, std::move(ignore_list), ui);
    run->RunInboxFile(TextFileLines(saved_path));
  }
  RememberUnmatchedRunOfReply(settings.state_folder, UnmatchedRunKind::kEqslDownload, saved_path,
                              {run->ErrorList(), run->UnmatchedLines()},
                              arriving ? &*arriving : nullptr);
  const QDateTime since =
      FinishInboxRun(dates, settings.start_utc, run->ErrorList(), settings.state_folder, ui);
  return {true, run->QsoCount(), run->Tally(), run->ErrorList(), since};
}
