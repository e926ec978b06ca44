#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "support/test_certificates.h"

namespace {

SSL_CTX* MakeServerContext() {
  const TestCertificates& certificates = SharedTestCertificates();
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  BIO* cert_bio = BIO_new_mem_buf(certificates.server_cert_pem.constData(),
                                  static_cast<int>(certificates.server_cert_pem.size()));
  BIO* key_bio = BIO_new_mem_buf(certificates.server_key_pem.constData(),
                                 static_cast<int>(certificates.server_key_pem.size()));
  X509* cert = PEM_read_bio_X509(cert_bio, nullptr, nullptr, nullptr);
  EVP_PKEY* key = PEM_read_bio_PrivateKey(key_bio, nullptr, nullptr, nullptr);
  const bool ok = cert != nullptr && key != nullptr && SSL_CTX_use_certificate(ctx, cert) == 1 &&
                  SSL_CTX_use_PrivateKey(ctx, key) == 1;
  X509_free(cert);
  EVP_PKEY_free(key);
  BIO_free(cert_bio);
  BIO_free(key_bio);
  if (!ok) throw std::runtime_error("loopback server: cannot load the test certificate");
  return ctx;
}

int ConnectToLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, const char* data, qsizetype size) {
  while (size > 0) {
    const ssize_t sent = send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= sent;
  }
  return true;
}

QByteArray Chunked(const QByteArray& data, int chunk_size) {
  QByteArray out;
  for (qsizetype at = 0; at < data.size(); at += chunk_size) {
    const QByteArray piece = data.mid(at, chunk_size);
    out += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
  }
  return out;
}

}  // namespace

ScriptedReply ScriptedReply::Ok(const QByteArray& body) {
  ScriptedReply reply;
  reply.body = body;
  return reply;
}

ScriptedReply ScriptedReply::Status(const QByteArray& status_line, const QByteArray& body) {
  ScriptedReply reply;
  reply.status_line = status_line;
  reply.body = body;
  return reply;
}

QByteArray RecordedRequest::Header(const QByteArray& name) const {
  const QByteArray wanted = name.toLower() + ':';
  for (const QByteArray& line : head.split('\n')) {
    if (line.toLower().startsWith(wanted)) return line.mid(wanted.size()).trimmed();
  }
  return {};
}

bool RecordedRequest::HasHeader(const QByteArray& name) const {
  const QByteArray wanted = name.toLower() + ':';
  for (const QByteArray& line : head.split('\n')) {
    if (line.toLower().startsWith(wanted)) return true;
  }
  return false;
}

// One accepted connection, plain or TLS.
class LoopbackHttpServer::Connection {
 public:
  Connection(int fd, SSL_CTX* ctx) : fd_(fd) {
    if (ctx == nullptr) return;
    ssl_ = SSL_new(ctx);
    SSL_set_fd(ssl_, fd);
    handshake_ok_ = SSL_accept(ssl_) == 1;
  }
  ~Connection() {
    if (ssl_ != nullptr) {
      if (handshake_ok_ && !reset_) SSL_shutdown(ssl_);
      SSL_free(ssl_);
    }
  }

  bool Ready() const { return ssl_ == nullptr || handshake_ok_; }
  int fd() const { return fd_; }

  int Read(char* buffer, int size) {
    if (ssl_ != nullptr) return SSL_read(ssl_, buffer, size);
    return static_cast<int>(recv(fd_, buffer, static_cast<size_t>(size), 0));
  }

  bool Write(const QByteArray& data) {
    if (data.isEmpty()) return true;
    if (ssl_ != nullptr)
      return SSL_write(ssl_, data.constData(), static_cast<int>(data.size())) > 0;
    return SendAll(fd_, data.constData(), data.size());
  }

  // The next close sends a reset instead of an orderly end.
  void ResetOnClose() {
    reset_ = true;
    linger no_linger{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &no_linger, sizeof no_linger);
  }

 private:
  int fd_;
  SSL* ssl_ = nullptr;
  bool handshake_ok_ = false;
  bool reset_ = false;
};

LoopbackHttpServer::LoopbackHttpServer(Tls tls) : tls_(tls) {
  // A client that hangs up must end the write, not the test program.
  signal(SIGPIPE, SIG_IGN);
  if (tls_ == Tls::kOn) ssl_ctx_ = MakeServerContext();
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listen_fd_, 16) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("loopback server: cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  accept_thread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    for (int fd : open_fds_) shutdown(fd, SHUT_RDWR);
  }
  stop_signal_.notify_all();
  shutdown(listen_fd_, SHUT_RDWR);
  accept_thread_.join();
  close(listen_fd_);
  for (std::thread& thread : connection_threads_) thread.join();
  SSL_CTX_free(static_cast<SSL_CTX*>(ssl_ctx_));
}

QString LoopbackHttpServer::Url(const QString& target) const {
  return QStringLiteral("%1://127.0.0.1:%2%3")
      .arg(tls_ == Tls::kOn ? "https" : "http")
      .arg(port_)
      .arg(target);
}

QString LoopbackHttpServer::CaFile() { return SharedTestCertificates().ca_file; }

void LoopbackHttpServer::Enqueue(const ScriptedReply& reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(reply);
}

void LoopbackHttpServer::SetHandler(std::function<ScriptedReply(const RecordedRequest&)> handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int LoopbackHttpServer::ConnectionCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connection_count_;
}

void LoopbackHttpServer::AcceptLoop() {
  while (true) {
    const int fd = accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) return;  // the listening socket was shut down
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      close(fd);
      return;
    }
    open_fds_.push_back(fd);
    const int index = connection_count_++;
    connection_threads_.emplace_back([this, fd, index] { Serve(fd, index); });
  }
}

bool LoopbackHttpServer::SleepUnlessStopped(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  stop_signal_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                        [this] { return stopping_; });
  return !stopping_;
}

ScriptedReply LoopbackHttpServer::NextReply(const RecordedRequest& request) {
  std::function<ScriptedReply(const RecordedRequest&)> handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!queue_.empty()) {
      ScriptedReply reply = queue_.front();
      queue_.pop_front();
      return reply;
    }
    handler = handler_;
  }
  if (handler) return handler(request);
  return ScriptedReply::Status("HTTP/1.1 404 Not Found", "no scripted reply");
}

void LoopbackHttpServer::Serve(int fd, int index) {
  {
    Connection connection(fd, static_cast<SSL_CTX*>(ssl_ctx_));
    QByteArray buffer;
    char chunk[16384];
    auto read_more = [&] {
      const int got = connection.Read(chunk, sizeof chunk);
      if (got <= 0) return false;
      buffer.append(chunk, got);
      return true;
    };
    while (connection.Ready()) {
      qsizetype head_end = -1;
      while ((head_end = buffer.indexOf("\r\n\r\n")) < 0) {
        if (!read_more()) break;
      }
      if (head_end < 0) break;
      RecordedRequest request;
      request.connection = index;
      request.head = buffer.left(head_end + 4);
      const QList<QByteArray> words = request.head.left(request.head.indexOf("\r\n")).split(' ');
      request.method = words.value(0);
      request.target = words.value(1);
      request.version = words.value(2);
      const qsizetype length = request.Header("Content-Length").toLongLong();
      while (buffer.size() < head_end + 4 + length) {
        if (!read_more()) break;
      }
      request.body = buffer.mid(head_end + 4, length);
      request.raw = request.head + request.body;
      buffer.remove(0, head_end + 4 + request.body.size());
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      if (request.method == "CONNECT") {
        Tunnel(connection, request, buffer);
        break;
      }

      const ScriptedReply reply = NextReply(request);
      if (reply.delay_ms > 0 && !SleepUnlessStopped(reply.delay_ms)) break;
      QByteArray head = reply.status_line + "\r\n";
      for (const QByteArray& line : reply.headers) head += line + "\r\n";
      if (reply.framing == ScriptedReply::Framing::kContentLength) {
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
      } else if (reply.framing == ScriptedReply::Framing::kChunked) {
        head += "Transfer-Encoding: chunked\r\n";
      }
      head += "\r\n";
      const bool chunked = reply.framing == ScriptedReply::Framing::kChunked;
      auto framed = [&](const QByteArray& part) {
        return chunked ? Chunked(part, reply.chunk_size) : part;
      };
      const bool stalls = reply.stall_at >= 0;
      if (!connection.Write(head + framed(stalls ? reply.body.left(reply.stall_at) : reply.body))) {
        break;
      }
      if (stalls) {
        if (reply.drop_at_stall) {
          connection.ResetOnClose();
          break;
        }
        if (!SleepUnlessStopped(reply.stall_ms)) break;
        if (!connection.Write(framed(reply.body.mid(reply.stall_at)))) break;
      }
      if (chunked && !connection.Write("0\r\n\r\n")) break;
      if (reply.close || reply.framing == ScriptedReply::Framing::kUntilClose) break;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase(open_fds_, fd);
  close(fd);
}

void LoopbackHttpServer::Tunnel(Connection& client, const RecordedRequest& request,
                                QByteArray pending) {
  const QByteArray host = request.target.left(request.target.lastIndexOf(':'));
  const int port = request.target.mid(request.target.lastIndexOf(':') + 1).toInt();
  const int upstream = host == "127.0.0.1" || host == "localhost" ? ConnectToLoopback(port) : -1;
  if (upstream < 0) {
    client.Write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      close(upstream);
      return;
    }
    open_fds_.push_back(upstream);
  }
  if (client.Write("HTTP/1.1 200 Connection established\r\n\r\n") &&
      SendAll(upstream, pending.constData(), pending.size())) {
    // Plain bytes both ways until either side ends.
    pollfd fds[2] = {{client.fd(), POLLIN, 0}, {upstream, POLLIN, 0}};
    char buffer[16384];
    bool open = true;
    while (open && poll(fds, 2, -1) > 0) {
      for (int i = 0; i < 2 && open; ++i) {
        if (fds[i].revents == 0) continue;
        const ssize_t got = recv(fds[i].fd, buffer, sizeof buffer, 0);
        open = got > 0 && SendAll(fds[1 - i].fd, buffer, got);
      }
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase(open_fds_, upstream);
  close(upstream);
}
