#ifndef QORVSYNC_TESTS_SUPPORT_LOOPBACK_HTTP_SERVER_H_
#define QORVSYNC_TESTS_SUPPORT_LOOPBACK_HTTP_SERVER_H_

#include <QByteArray>
#include <QList>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// One answer of the test server, sent exactly as described.
struct ScriptedReply {
  enum class Framing {
    kContentLength,  // "Content-Length: n" added after the script's headers
    kChunked,        // "Transfer-Encoding: chunked", body in chunks of chunk_size
    kUntilClose,     // no length; the connection is closed after the body
    kNone,           // nothing added: the script's headers say it all
  };

  QByteArray status_line = "HTTP/1.1 200 OK";
  QList<QByteArray> headers;  // whole lines without CR LF, e.g. "Set-Cookie: a=1"
  QByteArray body;
  Framing framing = Framing::kContentLength;
  int chunk_size = 7;
  bool close = false;  // close the connection after this reply

  int delay_ms = 0;            // silence before the status line
  int stall_at = -1;           // body offset where sending pauses (-1: no pause)...
  int stall_ms = 0;            // ...for this long,
  bool drop_at_stall = false;  // or where the connection is reset instead

  static ScriptedReply Ok(const QByteArray& body);
  static ScriptedReply Status(const QByteArray& status_line, const QByteArray& body = {});
};

// A request as the server received it.
struct RecordedRequest {
  int connection = 0;  // index of the TCP connection it came on, from 0
  QByteArray raw;      // the exact bytes: header block and body
  QByteArray head;     // the header block, empty line included
  QByteArray body;
  QByteArray method;
  QByteArray target;
  QByteArray version;  // "HTTP/1.1"

  // Value of the first header of that name (any case), trimmed; empty if none.
  QByteArray Header(const QByteArray& name) const;
  bool HasHeader(const QByteArray& name) const;
};

// A real HTTP/1.x server on 127.0.0.1 (ephemeral port) for tests: raw
// sockets, one thread per connection, TLS with the shared test CA on request.
// Replies come from the queue in order, else from the handler, else a 404.
// In plain mode it also acts as a forward proxy: an absolute-form request is answered like
// any other (the request is recorded), and "CONNECT 127.0.0.1:port" (or
// localhost) opens a tunnel to that port.
class LoopbackHttpServer {
 public:
  enum class Tls { kOff, kOn };

  explicit LoopbackHttpServer(Tls tls = Tls::kOff);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" (https with TLS) followed by the target.
  QString Url(const QString& target = QStringLiteral("/")) const;
  // PEM file of the authority that signed the server's certificate.
  static QString CaFile();

  void Enqueue(const ScriptedReply& reply);
  // Called on the connection's thread for requests the queue does not answer.
  void SetHandler(std::function<ScriptedReply(const RecordedRequest&)> handler);

  std::vector<RecordedRequest> Requests() const;
  int ConnectionCount() const;

 private:
  class Connection;

  void AcceptLoop();
  void Serve(int fd, int index);
  ScriptedReply NextReply(const RecordedRequest& request);
  bool SleepUnlessStopped(int milliseconds);
  void Tunnel(Connection& client, const RecordedRequest& request, QByteArray pending);

  const Tls tls_;
  int listen_fd_ = -1;
  int port_ = 0;
  void* ssl_ctx_ = nullptr;

  mutable std::mutex mutex_;
  std::condition_variable stop_signal_;
  bool stopping_ = false;
  std::deque<ScriptedReply> queue_;
  std::function<ScriptedReply(const RecordedRequest&)> handler_;
  std::vector<RecordedRequest> requests_;
  std::vector<int> open_fds_;
  int connection_count_ = 0;

  std::thread accept_thread_;
  std::vector<std::thread> connection_threads_;
};

#endif  // QORVSYNC_TESTS_SUPPORT_LOOPBACK_HTTP_SERVER_H_
