#ifndef QORVSYNC_PLATFORM_FILE_LOCK_H_
#define QORVSYNC_PLATFORM_FILE_LOCK_H_

#include <QString>
#include <chrono>

// An advisory lock (flock, exclusive) on a file, held from construction to
// destruction, for a read-change-write of a file that other programs change
// too. The file is created empty when missing. Writers replace the file by
// renaming a new one over it, so the lock is taken on the file the path
// names once the lock is held, never on one replaced meanwhile.
//
// While another program holds the lock, the wait lets the thread's pending
// events run (the window keeps answering) and gives up after `patience`, or
// at once when the operation is abandoned.
class FileLock {
 public:
  static constexpr std::chrono::milliseconds kDefaultPatience{20000};

  explicit FileLock(const QString& path, std::chrono::milliseconds patience = kDefaultPatience);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // False when the file could neither be opened nor created, or the wait
  // gave up.
  bool Locked() const { return fd_ >= 0; }
  // True when not locked because another holder kept it for the whole wait.
  bool GaveUp() const { return gave_up_; }

 private:
  int fd_ = -1;
  bool gave_up_ = false;
};

#endif  // QORVSYNC_PLATFORM_FILE_LOCK_H_
