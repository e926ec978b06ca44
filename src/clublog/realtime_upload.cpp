#include "clublog/realtime_upload.h"

#include <QUrl>

#include "clublog/clublog_api_key.h"
#include "net/http_client.h"
#include "net/service_reply.h"

namespace {

QByteArray FormField(const char* name, const QString& value) {
  return QByteArray(name) + '=' + QUrl::toPercentEncoding(value);
}

// The login texts as the batch upload sends them: blanks at their ends dropped.
QByteArray RealtimeForm(const ClublogSettings& settings, const QString& adif_record) {
  return FormField("email", settings.email.trimmed()) + '&' +
         FormField("password", settings.password.trimmed()) + '&' +
         FormField("callsign", settings.callsign.trimmed()) + '&' + FormField("adif", adif_record) +
         '&' + FormField("api", QLatin1String(kClublogApiKey));
}

RealtimeResult::Kind KindOf(int status) {
  switch (status) {
    case 200:
      return RealtimeResult::Kind::kSent;
    case 400:
      return RealtimeResult::Kind::kRejected;
    case 403:
      return RealtimeResult::Kind::kBlocked;
    default:
      return RealtimeResult::Kind::kRetryLater;
  }
}

}  // namespace

RealtimeResult SendRealtimeQso(const ClublogSettings& settings, const QString& adif_record) {
  HttpClient client;
  RealtimeResult result;
  if (!client.Post(settings.service + QStringLiteral("/realtime.php"),
                   QStringLiteral("application/x-www-form-urlencoded"),
                   RealtimeForm(settings, adif_record))) {
    result.reason = client.FailureReason();
    return result;
  }
  result.status = client.StatusCode();
  result.kind = KindOf(result.status);
  result.reason = ReplyGist(client.ReplyText());
  return result;
}
