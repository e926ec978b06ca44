#ifndef QORVSYNC_NET_HTTP_CLIENT_H_
#define QORVSYNC_NET_HTTP_CLIENT_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// One HTTP/1.x client for the exchanges with the services. Each operation
// creates its own client, makes one or two requests and drops it; cookies,
// proxy and protocol settings live as long as the client.
//
// The request that goes out is fixed byte for byte: the caller's target
// unchanged (no percent-encoding here: callers encode user values), then
// Host, Keep-Alive, Connection (Proxy-Connection through a proxy for http),
// Cookie when held, User-Agent, and Content-Type + Content-Length only with a
// body. Redirects are not followed. Certificates are verified against the
// system store plus the program-wide extra CA file.
//
// While an exchange runs the caller waits, but pending events keep running
// (the window paints, the log poll's timer fires): the transfer runs on a
// worker thread and the caller waits in a local event loop. One exchange at a
// time per client.
//
// Move-only; a moved-from client may only be destroyed or assigned to.
class HttpClient {
 public:
  // SocketError values. Where the socket layer gives its error number (111
  // refused, 110 timed out, 104 reset, ...), that number. A wait longer than
  // the time-out gives kTimedOut. Any other failure that is not a socket
  // error (host not found, TLS handshake or certificate, malformed reply,
  // reply cut short) gives kLibraryErrorBase + the libcurl error code, e.g.
  // 20060 for a certificate that cannot be verified, 20006 for an unknown host.
  static constexpr int kTimedOut = 110;
  static constexpr int kLibraryErrorBase = 20000;

  static constexpr int kDefaultTimeoutMs = 90000;

  HttpClient();
  ~HttpClient();
  HttpClient(HttpClient&& other) noexcept;
  HttpClient& operator=(HttpClient&& other) noexcept;
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Extra trusted certificates (PEM, one or more) for every client of the
  // program, in addition to the system store; the app sets it from the
  // "CAFile" key of [Services]. Empty: the system store only. A file that
  // cannot be read makes https exchanges fail (kLibraryErrorBase + 77).
  static void SetDefaultCaFile(const QString& path);
  static QString DefaultCaFile();

  // The time-out of every client made from now on (kDefaultTimeoutMs unless
  // set). Tests shorten it to meet a stalling server within seconds.
  static void SetDefaultTimeout(int milliseconds);
  static int DefaultTimeout();

  // "1.0" (the default) or "1.1", written into the request line. With "1.0"
  // the connection is closed after each reply; with "1.1" it is kept for the
  // next request of this client unless the server says "close".
  void SetProtocol(const QString& version);
  QString Protocol() const;

  // An empty host means no proxy. An empty port means 8080.
  void SetProxy(const QString& host, const QString& port);

  // Bound on each wait for the next piece of the reply (and on connecting).
  void SetTimeout(int milliseconds);
  int Timeout() const;

  // On (the default): "Keep-Alive: 300" and "Connection: keep-alive". Off:
  // "Connection: close" and the connection is closed after the reply.
  void SetKeepAlive(bool keep_alive);

  void SetUserAgent(const QString& user_agent);

  // True when the exchange ran to its end, whatever the status code. An
  // abandoned operation's exchange ends at once, without a reply. Called
  // while this client's own exchange runs (from an event handler), returns
  // false at once and leaves the running exchange's results alone.
  bool Get(const QString& url);
  // The same exchange, the body handed to `sink` piece by piece as it
  // arrives, in order, on the caller's thread, instead of being kept
  // (ReplyBody stays empty). Only a bounded amount waits for the sink, so
  // memory does not grow with the reply. An exception from the sink ends the
  // exchange at once and leaves Get.
  using BodySink = std::function<void(const QByteArray& piece)>;
  bool Get(const QString& url, const BodySink& sink);
  bool Post(const QString& url, const QString& content_type, const QByteArray& body);

  // 500 from the start of each request until a final status line arrives.
  int StatusCode() const;
  // 0 after a completed exchange; see the constants above otherwise.
  int SocketError() const;
  // Why the last exchange failed, in plain words ("no connection to host
  // (Connection refused)", "the certificate of host is not trusted", "no
  // answer from host within the time-out of 90 seconds", "the reply of host
  // was cut short"); empty after a completed exchange.
  QString FailureReason() const;

  // The last reply's body, chunked coding removed.
  const QByteArray& ReplyBody() const;
  // The body decoded by byte-order mark, else as UTF-8 when it is valid
  // UTF-8, else Windows-1252; split at CR LF, lone CR and lone LF.
  QStringList ReplyLines() const;
  // ReplyLines, each followed by CR LF.
  QString ReplyText() const;
  // Writes the body as it arrived, byte for byte. Throws AppError.
  void SaveReply(const QString& path) const;

 private:
  struct Impl;
  bool Run(const QString& method, const QString& url, const QString& content_type,
           const QByteArray& body, const BodySink& sink);

  std::unique_ptr<Impl> impl_;
};

#endif  // QORVSYNC_NET_HTTP_CLIENT_H_
