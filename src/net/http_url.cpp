#include "net/http_url.h"

namespace {

int DefaultPort(const QString& scheme) { return scheme == QLatin1String("https") ? 443 : 80; }

}  // namespace

bool HttpUrl::IsDefaultPort() const { return port == DefaultPort(scheme); }

QString HttpUrl::HostHeader() const {
  return IsDefaultPort() ? host : host + u':' + QString::number(port);
}

QString HttpUrl::AbsoluteTarget() const {
  return scheme + QLatin1String("://") + host + u':' + QString::number(port) + target;
}

QString HttpUrl::Origin() const {
  return scheme + QLatin1String("://") + host + u':' + QString::number(port) + u'/';
}

std::optional<HttpUrl> ParseHttpUrl(const QString& url) {
  if (url.contains(u'\r') || url.contains(u'\n') || url.contains(QChar(0))) return std::nullopt;
  const qsizetype scheme_end = url.indexOf(QLatin1String("://"));
  if (scheme_end <= 0) return std::nullopt;
  HttpUrl result;
  result.scheme = url.left(scheme_end).toLower();
  if (result.scheme != QLatin1String("http") && result.scheme != QLatin1String("https")) {
    return std::nullopt;
  }
  const qsizetype authority_start = scheme_end + 3;
  qsizetype authority_end = url.size();
  for (qsizetype i = authority_start; i < url.size(); ++i) {
    if (url.at(i) == u'/' || url.at(i) == u'?') {
      authority_end = i;
      break;
    }
  }
  const QString authority = url.mid(authority_start, authority_end - authority_start);
  result.target = url.mid(authority_end);
  if (!result.target.startsWith(u'/')) result.target.prepend(u'/');

  QString port_text;
  if (authority.startsWith(u'[')) {
    const qsizetype close = authority.indexOf(u']');
    if (close < 0) return std::nullopt;
    result.host = authority.left(close + 1);
    const QString rest = authority.mid(close + 1);
    if (!rest.isEmpty()) {
      if (!rest.startsWith(u':')) return std::nullopt;
      port_text = rest.mid(1);
    }
  } else {
    const qsizetype colon = authority.lastIndexOf(u':');
    result.host = colon < 0 ? authority : authority.left(colon);
    if (colon >= 0) port_text = authority.mid(colon + 1);
  }
  if (result.host.isEmpty() || result.host.contains(u' ') || result.host.contains(u'@')) {
    return std::nullopt;
  }
  result.port = DefaultPort(result.scheme);
  if (!port_text.isEmpty()) {
    bool ok = false;
    const int port = port_text.toInt(&ok);
    if (!ok || port <= 0 || port > 65535) return std::nullopt;
    result.port = port;
  }
  return result;
}
