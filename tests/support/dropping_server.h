#ifndef QORVSYNC_TESTS_SUPPORT_DROPPING_SERVER_H_
#define QORVSYNC_TESTS_SUPPORT_DROPPING_SERVER_H_

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>

// A server on 127.0.0.1 that drops every connection in the middle of the
// request: it reads `read_bytes` of what the client sends, then resets the
// connection (no reply at all), as a network that fails during an upload.
class DroppingServer {
 public:
  explicit DroppingServer(qsizetype read_bytes);
  ~DroppingServer();
  DroppingServer(const DroppingServer&) = delete;
  DroppingServer& operator=(const DroppingServer&) = delete;

  int Port() const { return port_; }
  QString Url(const QString& target = QStringLiteral("/")) const;
  // Connections dropped so far.
  int Drops() const { return drops_; }

 private:
  void AcceptLoop();

  const qsizetype read_bytes_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> drops_{0};
  std::thread thread_;
};

#endif  // QORVSYNC_TESTS_SUPPORT_DROPPING_SERVER_H_
