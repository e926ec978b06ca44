#include "net/http_failure.h"

#include <curl/curl.h>

#include <cstring>

namespace {

QString Seconds(int milliseconds) { return QString::number(milliseconds / 1000.0); }

QString NoConnection(const HttpFailure& failure) {
  const QString start = QStringLiteral("no connection to %1").arg(failure.host);
  if (failure.os_error == 0) return start;
  return start +
         QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(failure.os_error)));
}

}  // namespace

QString HttpFailureReason(const HttpFailure& failure) {
  if (failure.timed_out) {
    return QStringLiteral("no answer from %1 within the time-out of %2 seconds")
        .arg(failure.host, Seconds(failure.timeout_ms));
  }
  switch (failure.library_code) {
    case CURLE_OK:
      return QString();
    case CURLE_COULDNT_RESOLVE_HOST:
      return QStringLiteral("no connection: the server name %1 was not found").arg(failure.host);
    case CURLE_COULDNT_RESOLVE_PROXY:
      return QStringLiteral("no connection: the proxy's name was not found");
    case CURLE_COULDNT_CONNECT:
      return NoConnection(failure);
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return QStringLiteral("the certificate of %1 is not trusted").arg(failure.host);
    case CURLE_SSL_CONNECT_ERROR:
      return QStringLiteral("no secure connection to %1 could be made").arg(failure.host);
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
      return QStringLiteral("the reply of %1 was cut short").arg(failure.host);
    case CURLE_SEND_ERROR:
      return QStringLiteral("the connection to %1 broke while the request was sent")
          .arg(failure.host);
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return QStringLiteral("the reply of %1 was not HTTP").arg(failure.host);
    default:
      return QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(failure.library_code)));
  }
}

QString ExchangeFailedMessage(const QString& what_failed, const QString& reason) {
  return QStringLiteral("%1: %2.\n\nNothing was changed.").arg(what_failed, reason);
}
