#ifndef QORVSYNC_NET_HTTP_URL_H_
#define QORVSYNC_NET_HTTP_URL_H_

#include <QString>
#include <optional>

// A request address taken apart. The target is the path and query exactly as
// the caller composed them: nothing is percent-encoded or dropped ("#" and
// blanks included), so a password goes to the server as the caller wrote it.
struct HttpUrl {
  QString scheme;  // "http" or "https", lower case
  QString host;    // as written; an IPv6 literal keeps its brackets
  int port = 0;
  QString target;  // starts with "/"

  bool IsDefaultPort() const;
  // The Host header's value: the port only when it is not the scheme's default.
  QString HostHeader() const;
  // "http://host:port" + target, the form a proxy is sent.
  QString AbsoluteTarget() const;
  // scheme://host:port/ for the transfer library; the target is set apart.
  QString Origin() const;
};

// Empty for an address that is not http(s)://host[:port][/path][?query], or
// that holds CR, LF or NUL (they would split the request line).
std::optional<HttpUrl> ParseHttpUrl(const QString& url);

#endif  // QORVSYNC_NET_HTTP_URL_H_
