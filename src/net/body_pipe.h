#ifndef QORVSYNC_NET_BODY_PIPE_H_
#define QORVSYNC_NET_BODY_PIPE_H_

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

// Hands a reply's pieces from the transfer thread to a sink on the caller's
// thread. Push waits while more than kMaxWaiting bytes wait for the sink, so
// a sink slower than the network holds the transfer back instead of letting
// memory grow with the reply.
class BodyPipe {
 public:
  static constexpr qsizetype kMaxWaiting = qsizetype{1} << 20;

  // `wake` is called on the transfer thread when a piece arrives in an empty
  // pipe; it must make the caller's thread call Drain.
  BodyPipe(std::function<void(const QByteArray&)> sink, std::function<void()> wake);

  // Transfer thread. False when the pipe is closed: the sink failed or the
  // operation was abandoned; the transfer should stop.
  bool Push(const char* data, qsizetype size);

  // Caller's thread: hands every waiting piece to the sink, in order. A call
  // made from inside the sink (pending events run there) returns at once:
  // the outer call goes on with the pieces. An exception from the sink
  // closes the pipe and is kept for RethrowFailure.
  void Drain();

  // Whether the sink failed: the transfer should stop even while no piece
  // arrives.
  bool Closed();

  // Throws what the sink threw, if it did.
  void RethrowFailure() const;

 private:
  void Close();

  std::function<void(const QByteArray&)> sink_;
  std::function<void()> wake_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::deque<QByteArray> pieces_;
  qsizetype waiting_bytes_ = 0;
  bool closed_ = false;
  bool draining_ = false;
  std::exception_ptr failure_;
};

#endif  // QORVSYNC_NET_BODY_PIPE_H_
