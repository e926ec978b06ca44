#include "platform/operation_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {

// SQLite locks the bytes from 1 GiB up to 1 GiB + 512; this one lies far
// beyond them and beyond any real file's end.
constexpr off_t kLockedByte = off_t{1} << 62;

bool TryWriteLock(int fd) {
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = kLockedByte;
  lock.l_len = 1;
  int result = 0;
  do {
    result = fcntl(fd, F_OFD_SETLK, &lock);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

QString SystemText() { return QString::fromLocal8Bit(strerror(errno)); }

// The note is followed only when it is a plain file of ours: a link or a file
// another user placed there is neither read as ours nor written through.
int OpenNote(const QByteArray& path, int flags) {
  const int fd = open(path.constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat info = {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    close(fd);
    return -1;
  }
  return fd;
}

QString HolderText(const QByteArray& note_path) {
  const int fd = OpenNote(note_path, O_RDONLY);
  if (fd < 0) return QString();
  char buffer[512];
  const ssize_t size = pread(fd, buffer, sizeof(buffer), 0);
  close(fd);
  return size > 0 ? QString::fromUtf8(buffer, size).trimmed() : QString();
}

}  // namespace

QString OperationLock::NoteFilePath(const QString& database_path) {
  const QString canonical = QFileInfo(database_path).canonicalFilePath();
  return (canonical.isEmpty() ? QDir::cleanPath(database_path) : canonical) +
         QStringLiteral(".qorvsync-holder");
}

OperationLock::OperationLock(const QString& database_path, const QString& holder) {
  const QByteArray path = QFile::encodeName(database_path);
  // Close-on-exec: TQSL, started during an upload, must not keep the lock.
  const int fd = open(path.constData(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return;
    refusal_ = QStringLiteral("Cannot open the log database %1 to lock it: %2")
                   .arg(database_path, SystemText());
    return;
  }
  const QByteArray note_path = QFile::encodeName(NoteFilePath(database_path));
  if (!TryWriteLock(fd)) {
    const int error = errno;
    const QString reason = SystemText();
    close(fd);
    if (error != EAGAIN && error != EACCES) {
      refusal_ = QStringLiteral("Cannot lock the log database %1: %2").arg(database_path, reason);
      return;
    }
    const QString other = HolderText(note_path);
    refusal_ = QStringLiteral(
                   "Another qorvsync is working on this logbook (%1); try again when it has "
                   "finished.")
                   .arg(other.isEmpty() ? QStringLiteral("holder unknown") : other);
    return;
  }
  database_fd_ = fd;
  const QByteArray text = (holder + QStringLiteral(", process %1").arg(getpid())).toUtf8() + '\n';
  note_fd_ = OpenNote(note_path, O_WRONLY | O_CREAT);
  // A lock without its note still holds; the other side then names no holder.
  [[maybe_unused]] const bool noted =
      note_fd_ >= 0 && ftruncate(note_fd_, 0) == 0 &&
      pwrite(note_fd_, text.constData(), text.size(), 0) == text.size();
}

OperationLock::~OperationLock() {
  // Emptied before the lock is released, so a later reader never names a
  // holder that has gone.
  if (note_fd_ >= 0) {
    [[maybe_unused]] const bool emptied = ftruncate(note_fd_, 0) == 0;
    close(note_fd_);
  }
  if (database_fd_ >= 0) close(database_fd_);
}
