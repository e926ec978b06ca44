#include "upload/qorv_upload_exchange.h"

#include <QUrl>

#include "net/http_client.h"
#include "net/multipart_body.h"

namespace {

QString Encoded(const QString& value) {
  return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace

QorvUploadReply PostSignedFile(const QString& service, const QString& login,
                               const QString& password, const QString& signed_file) {
  MultipartBody body;
  body.AddFilePart(MultipartStyle::kUpfile, signed_file);
  body.CloseBody(MultipartStyle::kUpfile);

  HttpClient client;
  const QString url = service + QStringLiteral("/qorvuser/upload?login=") + Encoded(login) +
                      QStringLiteral("&password=") + Encoded(password);
  QorvUploadReply reply;
  reply.completed = client.Post(url, body.ContentType(), body.Bytes());
  if (!reply.completed) {
    reply.socket_error = client.SocketError();
    reply.failure_reason = client.FailureReason();
    return reply;
  }
  reply.status = client.StatusCode();
  reply.text = client.ReplyText();
  reply.accepted = reply.text.contains(QLatin1String(kQorvAccepted), Qt::CaseSensitive);
  return reply;
}
