#ifndef QORVSYNC_PLATFORM_FILE_LOCK_H_
#define QORVSYNC_PLATFORM_FILE_LOCK_H_

#include <QString>

// An advisory lock (flock, exclusive) on a file, held from construction to
// destruction, for a read-change-write of a file that other programs change
// too. The file is created empty when missing. Writers replace the file by
// renaming a new one over it, so the lock is taken on the file the path
// names once the lock is held, never on one replaced meanwhile.
class FileLock {
 public:
  explicit FileLock(const QString& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // False when the file could neither be opened nor created.
  bool Locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

#endif  // QORVSYNC_PLATFORM_FILE_LOCK_H_
