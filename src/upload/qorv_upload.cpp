#include "upload/qorv_upload.h"

#include <QFile>

#include "net/service_reply.h"
#include "platform/kill_point.h"
#include "platform/processes.h"
#include "platform/program_files.h"
#include "platform/text_codec.h"
#include "upload/export_file.h"
#include "upload/qorv_upload_exchange.h"
#include "upload/signed_contacts.h"
#include "upload/signed_selection.h"
#include "upload/submode_table.h"
#include "upload/tqsl_signing.h"

namespace {

// A reply page can be long; the box shows its beginning.
constexpr qsizetype kShownReplyChars = 2000;

void RemoveIfPresent(const QString& path) {
  if (QFile::exists(path)) QFile::remove(path);
}

class QorvUploadRun {
 public:
  QorvUploadRun(OperationUi& ui, LogDatabase& database, const QorvUploadRequest& request,
                const QorvUploadHooks& hooks)
      : ui_(ui), database_(database), request_(request), hooks_(hooks) {}

  UploadOutcome Run() {
    if (!Checks()) return StoppedEarly();
    const std::optional<ExportedFile> exported =
        WriteExportFile(ui_, request_.install_path + QStringLiteral("Qorv Logs"), database_,
                        request_.log_table, submodes_, &outcome_.nothing_new);
    if (!exported) return StoppedEarly();

    ui_.SetCaption(QStringLiteral("Waiting, send file on Qorv"));
    const SigningEnd signing = SignExportFile(request_.tqsl_path, request_.location, exported->path,
                                              request_.program_folder, request_.tqsl_mode);
    if (signing == SigningEnd::kQuit) return outcome_;
    // A Qorv upload that went wrong keeps both files, also through Club Log.
    bool keep_export = false;
    if (signing == SigningEnd::kSigned) {
      keep_export = !Upload(*exported);
    } else if (signing == SigningEnd::kTimedOut) {
      // Whatever TQSL left is kept for a look, and nothing goes to Qorv.
      keep_export = true;
      Result(QStringLiteral("Error: TQSL did not finish within its time limit (%1 s) and "
                            "was ended; nothing was uploaded.")
                 .arg(request_.tqsl_mode.time_limit.count()));
    } else {
      Result(QStringLiteral("Error: TQSL file was not created."));
    }

    if (hooks_.clublog()) {
      outcome_.clublog = hooks_.submit_to_clublog(exported->path, keep_export);
      outcome_.common_tail = outcome_.clublog->common_tail;
    } else {
      outcome_.common_tail = true;
    }
    return outcome_;
  }

 private:
  // A stop before the signing skips the common tail: the busy caption must
  // not outlive it.
  UploadOutcome StoppedEarly() {
    ui_.SetCaption(ui_.LogName());
    return outcome_;
  }

  // The page's result label, kept in the outcome too.
  void Result(const QString& text) {
    outcome_.result = text;
    ui_.SetResult(ResultLabel::kUpload, text);
  }

  // The checks before anything is written; true when all pass.
  bool Checks() {
    ui_.SetProgress(0);
    Result(QString());
    ui_.SetCaption(QStringLiteral("Waiting..."));
    submodes_ = SubmodeTable::Load(SubmodeFilePath(request_.program_folder));
    if (request_.login.isEmpty() || request_.password.isEmpty()) {
      ui_.ShowMessage(MessageKind::kWarning, QStringLiteral("Not Qorv login or password"));
      return false;
    }
    if (request_.tqsl_path.isEmpty() || request_.location.isEmpty()) {
      ui_.ShowMessage(MessageKind::kError,
                      QStringLiteral("You must configure the program before running this "
                                     "function. Please check all setup values."));
      return false;
    }
    service_ = hooks_.service();
    // A TQSL already running would meet the one started here over the same
    // station data.
    if (IsProcessRunning(QStringLiteral("tqsl.exe"))) {
      Result(QStringLiteral("TQSL is already running. Cannot continue."));
      return false;
    }
    return true;
  }

  // True when Qorv accepted the signed file.
  bool Upload(const ExportedFile& exported) {
    const QString signed_file = SignedFilePath(exported.path);
    const QorvUploadReply reply =
        PostSignedFile(service_, request_.login, request_.password, signed_file);
    if (!reply.completed) {
      ui_.ShowMessage(MessageKind::kError, QStringLiteral("File was rejected with this Error:") +
                                               QString::number(reply.socket_error));
      // The number alone does not say that the file never reached Qorv.
      ui_.ExplainFailure(QStringLiteral("The signed file did not reach Qorv: ") +
                         reply.failure_reason);
      return false;
    }
    if (!reply.accepted) {
      // Nothing is marked and both files stay, so the QSOs go out again with
      // the next upload.
      QString shown = reply.text.trimmed();
      if (shown.size() > kShownReplyChars) shown = shown.left(kShownReplyChars) + u'\x2026';
      ui_.ShowMessage(MessageKind::kError,
                      QStringLiteral("Qorv did not accept the file. Its reply:\n") + shown);
      ui_.ExplainFailure(ReplyExplanation(QStringLiteral("Qorv refused the signed file"),
                                          reply.status, reply.text));
      return false;
    }
    // Only the exported rows the signed file holds went out: a QSO logged
    // since the export, or one TQSL left out, was not sent.
    KillPoint("accepted");
    const std::optional<QList<QsoKey>> contacts = ReadSignedContacts(ReadFileBytes(signed_file));
    const SignedSelection selection =
        SelectSignedQsos(exported, contacts.value_or(QList<QsoKey>()));
    outcome_.accepted = true;
    Result(QStringLiteral("Uploading was successful ! QSO:") +
           QString::number(selection.signed_rowids.size()));
    database_.MarkSent(request_.log_table, selection.signed_rowids);
    outcome_.qsos_sent = static_cast<int>(selection.signed_rowids.size());
    if (!selection.left_out.isEmpty()) {
      ui_.ShowMessage(MessageKind::kWarning, LeftOutMessage(selection.left_out));
    }
    if (!hooks_.keep_files()) RemoveIfPresent(signed_file);
    // With Club Log ticked the export file stays for Club Log, which removes it.
    if (!hooks_.clublog() && !hooks_.keep_files()) RemoveIfPresent(exported.path);
    return true;
  }

  OperationUi& ui_;
  LogDatabase& database_;
  const QorvUploadRequest& request_;
  const QorvUploadHooks& hooks_;
  SubmodeTable submodes_;
  QString service_;
  UploadOutcome outcome_;
};

}  // namespace

UploadOutcome RunQorvUpload(OperationUi& ui, LogDatabase& database,
                            const QorvUploadRequest& request, const QorvUploadHooks& hooks) {
  try {
    return QorvUploadRun(ui, database, request, hooks).Run();
  } catch (...) {
    // The error box ends the upload without its common tail.
    ui.SetCaption(ui.LogName());
    throw;
  }
}
