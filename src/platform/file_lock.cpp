#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>

#include "platform/operation_abandon.h"

namespace {

// How often a held lock is tried again.
constexpr int kRetryMs = 25;

bool SameFile(int fd, const QByteArray& path) {
  struct stat locked = {};
  struct stat named = {};
  return ::fstat(fd, &locked) == 0 && ::stat(path.constData(), &named) == 0 &&
         locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

// Waits one retry step. On the application's thread the pending events run
// meanwhile; other threads have no window to keep answering.
void WaitOneStep() {
  const QCoreApplication* app = QCoreApplication::instance();
  if (app != nullptr && QThread::currentThread() == app->thread()) {
    QEventLoop loop;
    QTimer::singleShot(kRetryMs, &loop, &QEventLoop::quit);
    // An application that is quitting ends every loop at once: sleep instead.
    if (loop.exec() == 0) return;
  }
  QThread::msleep(kRetryMs);
}

// Locks without blocking the thread; false when given up (`*gave_up`) or on
// an error.
bool LockWaiting(int fd, std::chrono::milliseconds patience, bool* gave_up) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return false;
    if (AbandonRequested() || waited.elapsed() >= patience.count()) {
      *gave_up = true;
      return false;
    }
    WaitOneStep();
  }
}

}  // namespace

FileLock::FileLock(const QString& path, std::chrono::milliseconds patience) {
  const QByteArray name = QFile::encodeName(path);
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    fd_ = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    const auto left = std::max(std::chrono::milliseconds(0),
                               patience - std::chrono::milliseconds(waited.elapsed()));
    const bool locked = LockWaiting(fd_, left, &gave_up_);
    if (locked && SameFile(fd_, name)) return;
    ::close(fd_);
    fd_ = -1;
    if (!locked) return;
    // Replaced while we waited: lock the file that stands there now.
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}
