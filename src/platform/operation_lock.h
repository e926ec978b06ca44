#ifndef QORVSYNC_PLATFORM_OPERATION_LOCK_H_
#define QORVSYNC_PLATFORM_OPERATION_LOCK_H_

#include <QString>

// The advisory lock that keeps the window and the command line from running
// an operation on the same logbook at once. It is an flock on a small file in
// ${XDG_RUNTIME_DIR:-/tmp} named after the log database's path, so it ends
// with the process that holds it, even when that process is killed. The file
// names the holder, for the message the other side shows.
class OperationLock {
 public:
  // Tries once, without waiting; `holder` says who takes it ("the window",
  // "qorvsync download qorv").
  OperationLock(const QString& database_path, const QString& holder);
  ~OperationLock();
  OperationLock(const OperationLock&) = delete;
  OperationLock& operator=(const OperationLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  // When not held: the sentence to show, naming the holder and its process.
  const QString& Refusal() const { return refusal_; }

  // The lock file of a log database.
  static QString LockFilePath(const QString& database_path);

 private:
  int fd_ = -1;
  QString refusal_;
};

#endif  // QORVSYNC_PLATFORM_OPERATION_LOCK_H_
