#include "platform/operation_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {

QString RuntimeFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  return runtime.isEmpty() ? QStringLiteral("/tmp") : QString::fromLocal8Bit(runtime);
}

QString HolderText(int fd) {
  char buffer[512];
  const ssize_t size = pread(fd, buffer, sizeof(buffer), 0);
  return size > 0 ? QString::fromUtf8(buffer, size).trimmed() : QString();
}

}  // namespace

QString OperationLock::LockFilePath(const QString& database_path) {
  // The same database reached through another spelling of its path is the
  // same logbook.
  const QString canonical = QFileInfo(database_path).canonicalFilePath();
  const QString key = canonical.isEmpty() ? QDir::cleanPath(database_path) : canonical;
  const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
  return RuntimeFolder() + QStringLiteral("/qorvsync-") + QString::fromLatin1(hash.left(16)) +
         QStringLiteral(".lock");
}

OperationLock::OperationLock(const QString& database_path, const QString& holder) {
  const QByteArray path = QFile::encodeName(LockFilePath(database_path));
  // Close-on-exec: TQSL, started during an upload, must not keep the lock.
  const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    refusal_ = QStringLiteral("Cannot open the lock file %1: %2")
                   .arg(QFile::decodeName(path), QString::fromLocal8Bit(strerror(errno)));
    return;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const QString other = HolderText(fd);
    close(fd);
    refusal_ = QStringLiteral(
                   "Another qorvsync is working on this logbook (%1); try again when it has "
                   "finished.")
                   .arg(other.isEmpty() ? QStringLiteral("holder unknown") : other);
    return;
  }
  const QByteArray text = (holder + QStringLiteral(", process %1").arg(getpid())).toUtf8() + '\n';
  // A lock without its note still holds; the other side then names no holder.
  [[maybe_unused]] const bool noted =
      ftruncate(fd, 0) == 0 && pwrite(fd, text.constData(), text.size(), 0) == text.size();
  fd_ = fd;
}

OperationLock::~OperationLock() {
  if (fd_ < 0) return;
  // Emptied before it is released, so a later reader never names a holder
  // that has gone.
  [[maybe_unused]] const bool emptied = ftruncate(fd_, 0) == 0;
  close(fd_);
}
