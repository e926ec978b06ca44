#ifndef QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_THREAD_H_
#define QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_THREAD_H_

#include <QObject>
#include <QThread>
#include <memory>
#include <type_traits>

#include "window/window_tree_server.h"

// A running logbook double inside the calling process, on a thread of its
// own, so that a blocking window-link client on the calling thread gets its
// answers. Everything that touches the server goes through Call().
class LogbookThread {
 public:
  // Starts the server and listens; errors throw AppError.
  explicit LogbookThread(WindowTreeServer::Options options);
  ~LogbookThread();
  LogbookThread(const LogbookThread&) = delete;
  LogbookThread& operator=(const LogbookThread&) = delete;

  // Runs f(server) on the server's thread and returns its result.
  template <typename F>
  auto Call(F f) -> std::invoke_result_t<F, WindowTreeServer&> {
    using Result = std::invoke_result_t<F, WindowTreeServer&>;
    if constexpr (std::is_void_v<Result>) {
      RunOnThread([&] { f(*server_); });
    } else {
      Result result{};
      RunOnThread([&] { result = f(*server_); });
      return result;
    }
  }

 private:
  void RunOnThread(const std::function<void()>& work);

  QThread thread_;
  QObject* context_;  // lives on thread_
  std::unique_ptr<WindowTreeServer> server_;
};

#endif  // QORVSYNC_LOGBOOK_WINDOW_LOGBOOK_THREAD_H_
