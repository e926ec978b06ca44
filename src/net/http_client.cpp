#include "net/http_client.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "net/body_pipe.h"
#include "net/http_failure.h"
#include "net/http_url.h"
#include "platform/operation_abandon.h"
#include "platform/text_codec.h"

namespace {

using Clock = std::chrono::steady_clock;

const char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; Synapse)";
const char kDefaultProxyPort[] = "8080";

std::mutex& CaFileMutex() {
  static std::mutex mutex;
  return mutex;
}

QString& CaFileSetting() {
  static QString path;
  return path;
}

std::atomic<int>& TimeoutSetting() {
  static std::atomic<int> milliseconds{HttpClient::kDefaultTimeoutMs};
  return milliseconds;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The caller waits, but its thread goes on handling events (painting, the log
// poll's timer) until the work is done on a worker thread.
void RunWhileEventsFlow(const std::function<void()>& work) {
  if (QCoreApplication::instance() == nullptr) {
    work();
    return;
  }
  QEventLoop loop;
  // Declared after the loop: joined before the loop goes away, whatever happens.
  std::jthread worker([&] {
    work();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
}

class HeaderList {
 public:
  HeaderList() = default;
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;
  ~HeaderList() { curl_slist_free_all(list_); }

  void Add(const QByteArray& line) { list_ = curl_slist_append(list_, line.constData()); }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

bool HasLineBreak(const QString& text) {
  return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

}  // namespace

struct HttpClient::Impl {
  CURL* curl = nullptr;
  QString protocol = QStringLiteral("1.0");
  QString proxy_host;
  QString proxy_port;
  int timeout_ms = kDefaultTimeoutMs;
  bool keep_alive = true;
  QString user_agent = QString::fromLatin1(kDefaultUserAgent);
  QList<std::pair<QByteArray, QByteArray>> cookies;
  int status_code = 0;
  int socket_error = 0;
  HttpFailure failure;
  QByteArray reply_body;
  // Set while a streamed exchange runs: the body goes there, not to reply_body.
  BodyPipe* pipe = nullptr;
  // No event loop to hand pieces over: the sink runs on the transfer thread,
  // which is the caller's.
  bool sink_inline = false;
  QByteArray request_body;
  QByteArray ca_file;
  bool busy = false;

  // Touched by the transfer thread only while an exchange runs.
  Clock::time_point last_activity;
  curl_off_t last_down = 0;
  curl_off_t last_up = 0;
  bool idle_timed_out = false;

  void Touch() { last_activity = Clock::now(); }
  void TakeHeaderLine(const QByteArray& line);
  void KeepCookie(const QByteArray& header_value);
  void ConfigureRequest(const HttpUrl& url, const QString& method, const QString& content_type,
                        HeaderList& headers, HeaderList& proxy_headers);

  static size_t OnBody(char* data, size_t size, size_t count, void* user);
  static size_t OnHeader(char* data, size_t size, size_t count, void* user);
  static int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up);
  static CURLcode OnSslContext(CURL*, void* ssl_ctx, void* user);
};

size_t HttpClient::Impl::OnBody(char* data, size_t size, size_t count, void* user) {
  auto* impl = static_cast<Impl*>(user);
  impl->Touch();
  const auto bytes = static_cast<qsizetype>(size * count);
  if (impl->pipe == nullptr) {
    impl->reply_body.append(data, bytes);
    return size * count;
  }
  if (!impl->pipe->Push(data, bytes)) return 0;
  if (impl->sink_inline) impl->pipe->Drain();
  // A wait for the sink is not a silent server.
  impl->Touch();
  return size * count;
}

size_t HttpClient::Impl::OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* impl = static_cast<Impl*>(user);
  impl->Touch();
  impl->TakeHeaderLine(QByteArray(data, static_cast<qsizetype>(size * count)));
  return size * count;
}

int HttpClient::Impl::OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t,
                                 curl_off_t up) {
  auto* impl = static_cast<Impl*>(user);
  if (down != impl->last_down || up != impl->last_up) {
    impl->last_down = down;
    impl->last_up = up;
    impl->Touch();
  }
  if (Clock::now() - impl->last_activity > std::chrono::milliseconds(impl->timeout_ms)) {
    impl->idle_timed_out = true;
    return 1;
  }
  if (impl->pipe != nullptr && impl->pipe->Closed()) return 1;
  return AbandonRequested() ? 1 : 0;
}

// Adds the extra trusted certificates to the store that already holds the
// system's.
CURLcode HttpClient::Impl::OnSslContext(CURL*, void* ssl_ctx, void* user) {
  const auto* impl = static_cast<const Impl*>(user);
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(ssl_ctx));
  if (X509_STORE_load_file(store, impl->ca_file.constData()) != 1) {
    return CURLE_SSL_CACERT_BADFILE;
  }
  return CURLE_OK;
}

void HttpClient::Impl::TakeHeaderLine(const QByteArray& line) {
  if (line.startsWith("HTTP/")) {
    const QList<QByteArray> words = line.simplified().split(' ');
    bool ok = false;
    const int code = words.size() > 1 ? words.at(1).toInt(&ok) : 0;
    // An interim reply (100 Continue) is followed by the real status line.
    if (ok && (code < 100 || code > 199)) status_code = code;
    return;
  }
  if (line.size() > 11 && line.left(11).toLower() == "set-cookie:") KeepCookie(line.mid(11));
}

void HttpClient::Impl::KeepCookie(const QByteArray& header_value) {
  QByteArray pair = header_value;
  const qsizetype semicolon = pair.indexOf(';');
  if (semicolon >= 0) pair.truncate(semicolon);
  pair = pair.trimmed();
  const qsizetype equals = pair.indexOf('=');
  if (equals <= 0) return;  // no name: not a cookie
  const QByteArray name = pair.left(equals);
  const QByteArray value = pair.mid(equals + 1);
  for (auto& cookie : cookies) {
    if (cookie.first == name) {
      cookie.second = value;
      return;
    }
  }
  cookies.append({name, value});
}

void HttpClient::Impl::ConfigureRequest(const HttpUrl& url, const QString& method,
                                        const QString& content_type, HeaderList& headers,
                                        HeaderList& proxy_headers) {
  const bool https = url.scheme == QLatin1String("https");
  const bool proxied = !proxy_host.isEmpty();
  const bool plain_proxy = proxied && !https;

  headers.Add("Host: " + ToAnsi(url.HostHeader()));
  if (keep_alive) headers.Add("Keep-Alive: 300");
  const QByteArray connection = plain_proxy ? "Proxy-Connection: " : "Connection: ";
  headers.Add(connection + (keep_alive ? "keep-alive" : "close"));
  if (!plain_proxy) headers.Add("Proxy-Connection:");
  if (!cookies.isEmpty()) {
    QByteArray line = "Cookie: ";
    for (qsizetype i = 0; i < cookies.size(); ++i) {
      if (i > 0) line += "; ";
      line += cookies.at(i).first + '=' + cookies.at(i).second;
    }
    headers.Add(line);
  }
  headers.Add("User-Agent: " + ToAnsi(user_agent));
  if (!request_body.isEmpty()) {
    headers.Add("Content-Type: " + ToAnsi(content_type));
    headers.Add("Content-Length: " + QByteArray::number(request_body.size()));
  } else {
    headers.Add("Content-Type:");
    headers.Add("Content-Length:");
  }
  headers.Add("Accept:");
  headers.Add("Expect:");

  const QByteArray target = ToAnsi(plain_proxy ? url.AbsoluteTarget() : url.target);
  curl_easy_setopt(curl, CURLOPT_URL, ToAnsi(url.Origin()).constData());
  curl_easy_setopt(curl, CURLOPT_REQUEST_TARGET, target.constData());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
  curl_easy_setopt(
      curl, CURLOPT_HTTP_VERSION,
      protocol == QLatin1String("1.1") ? CURL_HTTP_VERSION_1_1 : CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE,
                   protocol == QLatin1String("1.1") && keep_alive ? 0L : 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

  // Set always: otherwise http_proxy and no_proxy from the environment apply.
  const QByteArray proxy =
      proxied ? "http://" + ToAnsi(proxy_host) + ':' +
                    (proxy_port.isEmpty() ? QByteArray(kDefaultProxyPort) : ToAnsi(proxy_port))
              : QByteArray();
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
  if (proxied && https) {
    curl_easy_setopt(curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
    proxy_headers.Add("User-Agent: " + ToAnsi(user_agent));
    curl_easy_setopt(curl, CURLOPT_PROXYHEADER, proxy_headers.get());
    curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  }

  if (method == QLatin1String("POST")) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request_body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request_body.constData());
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }

  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!ca_file.isEmpty()) {
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &Impl::OnSslContext);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, this);
  }

  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout_ms));
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
}

HttpClient::HttpClient() : impl_(std::make_unique<Impl>()) {
  InitCurlOnce();
  impl_->curl = curl_easy_init();
  impl_->timeout_ms = TimeoutSetting();
}

HttpClient::~HttpClient() {
  if (impl_ != nullptr && impl_->curl != nullptr) curl_easy_cleanup(impl_->curl);
}

HttpClient::HttpClient(HttpClient&& other) noexcept = default;

HttpClient& HttpClient::operator=(HttpClient&& other) noexcept {
  if (this != &other) {
    if (impl_ != nullptr && impl_->curl != nullptr) curl_easy_cleanup(impl_->curl);
    impl_ = std::move(other.impl_);
  }
  return *this;
}

void HttpClient::SetDefaultCaFile(const QString& path) {
  std::lock_guard<std::mutex> lock(CaFileMutex());
  CaFileSetting() = path;
}

QString HttpClient::DefaultCaFile() {
  std::lock_guard<std::mutex> lock(CaFileMutex());
  return CaFileSetting();
}

void HttpClient::SetDefaultTimeout(int milliseconds) { TimeoutSetting() = milliseconds; }

int HttpClient::DefaultTimeout() { return TimeoutSetting(); }

void HttpClient::SetProtocol(const QString& version) {
  impl_->protocol = version == QLatin1String("1.1") ? version : QStringLiteral("1.0");
}

QString HttpClient::Protocol() const { return impl_->protocol; }

void HttpClient::SetProxy(const QString& host, const QString& port) {
  impl_->proxy_host = host;
  impl_->proxy_port = port;
}

void HttpClient::SetTimeout(int milliseconds) { impl_->timeout_ms = milliseconds; }

int HttpClient::Timeout() const { return impl_->timeout_ms; }

void HttpClient::SetKeepAlive(bool keep_alive) { impl_->keep_alive = keep_alive; }

void HttpClient::SetUserAgent(const QString& user_agent) { impl_->user_agent = user_agent; }

bool HttpClient::Get(const QString& url) { return Run(QStringLiteral("GET"), url, {}, {}, {}); }

bool HttpClient::Get(const QString& url, const BodySink& sink) {
  return Run(QStringLiteral("GET"), url, {}, {}, sink);
}

bool HttpClient::Post(const QString& url, const QString& content_type, const QByteArray& body) {
  return Run(QStringLiteral("POST"), url, content_type, body, {});
}

bool HttpClient::Run(const QString& method, const QString& url, const QString& content_type,
                     const QByteArray& body, const BodySink& sink) {
  Impl& impl = *impl_;
  if (impl.busy) return false;  // the running exchange owns the reply state
  impl.status_code = 500;
  impl.reply_body.clear();
  impl.socket_error = 0;
  impl.failure = HttpFailure();

  const std::optional<HttpUrl> parsed = ParseHttpUrl(url);
  if (!parsed || HasLineBreak(content_type) || HasLineBreak(impl.user_agent) ||
      HasLineBreak(impl.proxy_host) || HasLineBreak(impl.proxy_port)) {
    impl.socket_error = kLibraryErrorBase + CURLE_URL_MALFORMAT;
    impl.failure.library_code = CURLE_URL_MALFORMAT;
    return false;
  }
  if (impl.curl == nullptr) {
    impl.socket_error = kLibraryErrorBase + CURLE_FAILED_INIT;
    impl.failure.library_code = CURLE_FAILED_INIT;
    return false;
  }

  curl_easy_reset(impl.curl);
  impl.request_body = body;
  impl.ca_file = QFile::encodeName(DefaultCaFile());
  HeaderList headers;
  HeaderList proxy_headers;
  impl.ConfigureRequest(*parsed, method, content_type, headers, proxy_headers);

  impl.last_down = 0;
  impl.last_up = 0;
  impl.idle_timed_out = false;
  impl.Touch();
  impl.busy = true;
  // Pieces are handed to the sink by events posted to this receiver, which
  // lives on the caller's thread.
  QObject receiver;
  std::optional<BodyPipe> pipe;
  if (sink) {
    pipe.emplace(sink, [&receiver, &pipe] {
      QMetaObject::invokeMethod(
          &receiver, [&pipe] { pipe->Drain(); }, Qt::QueuedConnection);
    });
    impl.pipe = &*pipe;
    impl.sink_inline = QCoreApplication::instance() == nullptr;
  }
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  if (!AbandonRequested()) RunWhileEventsFlow([&] { result = curl_easy_perform(impl.curl); });
  impl.busy = false;
  impl.pipe = nullptr;
  impl.request_body.clear();
  if (pipe) {
    pipe->Drain();  // what arrived after the last hand-over
    pipe->RethrowFailure();
  }
  // An abandoned operation gets no reply, even one that arrived meanwhile.
  if (AbandonRequested()) {
    impl.reply_body.clear();
    impl.status_code = 500;
    impl.socket_error = kLibraryErrorBase + CURLE_ABORTED_BY_CALLBACK;
    return false;
  }

  if (result == CURLE_OK) return true;
  long os_error = 0;
  curl_easy_getinfo(impl.curl, CURLINFO_OS_ERRNO, &os_error);
  impl.failure = {result, static_cast<int>(os_error),
                  impl.idle_timed_out || result == CURLE_OPERATION_TIMEDOUT, parsed->host,
                  impl.timeout_ms};
  if (impl.idle_timed_out || result == CURLE_OPERATION_TIMEDOUT) {
    impl.socket_error = kTimedOut;
  } else if (os_error != 0) {
    impl.socket_error = static_cast<int>(os_error);
  } else {
    impl.socket_error = kLibraryErrorBase + result;
  }
  return false;
}

int HttpClient::StatusCode() const { return impl_->status_code; }

int HttpClient::SocketError() const { return impl_->socket_error; }

QString HttpClient::FailureReason() const { return HttpFailureReason(impl_->failure); }

const QByteArray& HttpClient::ReplyBody() const { return impl_->reply_body; }

QStringList HttpClient::ReplyLines() const {
  return SplitLines(DecodeTextDetectingUtf8(impl_->reply_body).text);
}

QString HttpClient::ReplyText() const { return JoinLinesCrLf(ReplyLines()); }

void HttpClient::SaveReply(const QString& path) const { WriteFileBytes(path, impl_->reply_body); }
