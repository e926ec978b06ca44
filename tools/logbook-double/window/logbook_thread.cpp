#include "window/logbook_thread.h"

#include <exception>

#include "platform/app_error.h"

LogbookThread::LogbookThread(WindowTreeServer::Options options) : context_(new QObject) {
  context_->moveToThread(&thread_);
  thread_.start();
  std::exception_ptr failure;
  RunOnThread([&] {
    try {
      server_ = std::make_unique<WindowTreeServer>(std::move(options));
      server_->Listen();
    } catch (...) {
      server_.reset();
      failure = std::current_exception();
    }
  });
  if (failure) {
    thread_.quit();
    thread_.wait();
    delete context_;
    std::rethrow_exception(failure);
  }
}

LogbookThread::~LogbookThread() {
  RunOnThread([&] { server_.reset(); });
  thread_.quit();
  thread_.wait();
  delete context_;  // its thread has ended
}

void LogbookThread::RunOnThread(const std::function<void()>& work) {
  QMetaObject::invokeMethod(context_, work, Qt::BlockingQueuedConnection);
}
