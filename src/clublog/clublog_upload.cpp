#include "clublog/clublog_upload.h"

#include <QFile>
#include <optional>

#include "clublog/clublog_api_key.h"
#include "net/http_client.h"
#include "net/multipart_body.h"
#include "net/service_reply.h"
#include "platform/app_error.h"

namespace {

// The form: the login and the key as text parts, then the file.
MultipartBody ClublogForm(const ClublogSettings& settings, const QString& file_path) {
  MultipartBody body;
  body.AddTextField(QStringLiteral("email"), settings.email.trimmed());
  body.AddTextField(QStringLiteral("password"), settings.password.trimmed());
  body.AddTextField(QStringLiteral("callsign"), settings.callsign.trimmed());
  body.AddTextField(QStringLiteral("api"), QLatin1String(kClublogApiKey));
  body.AddFilePart(MultipartStyle::kFile, file_path);
  body.CloseBody(MultipartStyle::kFile);
  return body;
}

// Posts the form and shows the reply.
ClublogReply SendForm(const QString& service, const MultipartBody& body,
                      ClublogReplyView& reply_window) {
  HttpClient client;
  ClublogReply reply;
  if (client.Post(service + QStringLiteral("/putlogs.php"), body.ContentType(), body.Bytes())) {
    reply.accepted = client.ReplyText().contains(QLatin1String(kClublogAccepted));
    if (reply.accepted) {
      reply.lines = QStringList{QLatin1String(kClublogAccepted)};
      reply_window.ReplaceText(reply.lines.first());
    } else {
      reply.lines = client.ReplyLines();
      reply_window.AddLines(reply.lines);
      reply_window.ExplainFailure(ReplyExplanation(QStringLiteral("Club Log refused the file"),
                                                   client.StatusCode(), client.ReplyText()));
    }
  } else {
    reply.lines = QStringList{QString::number(client.StatusCode())};
    reply_window.ReplaceText(reply.lines.first());
    // The status alone does not say that the file never reached Club Log.
    reply_window.ExplainFailure(QStringLiteral("The file did not reach Club Log: ") +
                                client.FailureReason());
  }
  reply_window.Show();
  return reply;
}

}  // namespace

ClublogReply UploadToClublog(const ClublogSettings& settings, const QString& file_path,
                             ClublogReplyView& reply) {
  return SendForm(settings.service, ClublogForm(settings, file_path), reply);
}

ClublogSubmission SubmitExportToClublog(OperationUi& ui, const ClublogSettings& settings,
                                        const QString& export_file,
                                        const std::function<bool()>& keep_files,
                                        ClublogReplyView& reply_window) {
  ui.SetCaption(QStringLiteral("Submit to Clublog"));
  std::optional<MultipartBody> body;
  try {
    body = ClublogForm(settings, export_file);
  } catch (const AppError& error) {
    // The export file cannot be read: the standard error box, and the upload
    // ends without its tail.
    ui.ShowMessage(MessageKind::kError, error.Message());
    return {};
  }
  const ClublogReply reply = SendForm(settings.service, *body, reply_window);
  if (reply.accepted && QFile::exists(export_file) && !keep_files()) QFile::remove(export_file);
  return {true, reply};
}

void LoadAdifToClublog(OperationUi& ui, const ClublogSettings& settings,
                       ClublogReplyView& reply_window) {
  QString file_path;
  if (!ui.ChooseAdifFile(&file_path)) return;
  UploadToClublog(settings, file_path, reply_window);
}
