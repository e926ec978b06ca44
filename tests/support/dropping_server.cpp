#include "support/dropping_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

DroppingServer::DroppingServer(qsizetype read_bytes) : read_bytes_(read_bytes) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listen_fd_, 8) != 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("DroppingServer: cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { AcceptLoop(); });
}

DroppingServer::~DroppingServer() {
  stopping_ = true;
  thread_.join();
  ::close(listen_fd_);
}

QString DroppingServer::Url(const QString& target) const {
  return QStringLiteral("http://127.0.0.1:%1").arg(port_) + target;
}

void DroppingServer::AcceptLoop() {
  while (!stopping_) {
    pollfd listening{listen_fd_, POLLIN, 0};
    if (::poll(&listening, 1, 50) <= 0) continue;
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) continue;
    qsizetype received = 0;
    char buffer[4096];
    while (received < read_bytes_ && !stopping_) {
      pollfd client{fd, POLLIN, 0};
      if (::poll(&client, 1, 50) <= 0) continue;
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      received += n;
    }
    // A zero linger time makes close() send a reset instead of a clean end.
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
    ++drops_;
  }
}
