#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace {

bool SameFile(int fd, const QByteArray& path) {
  struct stat locked = {};
  struct stat named = {};
  return ::fstat(fd, &locked) == 0 && ::stat(path.constData(), &named) == 0 &&
         locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

}  // namespace

FileLock::FileLock(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  for (;;) {
    fd_ = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    int result = 0;
    do {
      result = ::flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result == 0 && SameFile(fd_, name)) return;
    ::close(fd_);
    fd_ = -1;
    if (result != 0) return;
    // Replaced while we waited: lock the file that stands there now.
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}
