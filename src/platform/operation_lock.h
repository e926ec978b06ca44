#ifndef QORVSYNC_PLATFORM_OPERATION_LOCK_H_
#define QORVSYNC_PLATFORM_OPERATION_LOCK_H_

#include <QString>

// The advisory lock that keeps the window and the command line from running
// an operation on the same logbook at once. It is a write lock on one byte of
// the log database file itself, far from the bytes SQLite locks, taken on an
// open file description of its own (so SQLite closing its descriptors of the
// same file does not drop it):
// - every process that opens that database meets it, whatever its
//   environment or the spelling of the path;
// - only a process that may write the database can take it;
// - it ends with the process that holds it, even when that process is killed.
// A note beside the database names the holder, for the message the other side
// shows; the note only informs, the lock never depends on it.
class OperationLock {
 public:
  // Tries once, without waiting; `holder` says who takes it ("the window",
  // "qorvsync download qorv"). A database file that does not exist has
  // nothing to protect: the lock counts as held, and the operation meets the
  // missing file itself.
  OperationLock(const QString& database_path, const QString& holder);
  ~OperationLock();
  OperationLock(const OperationLock&) = delete;
  OperationLock& operator=(const OperationLock&) = delete;

  bool Held() const { return refusal_.isEmpty(); }
  // When not held: the sentence to show, naming the holder and its process.
  const QString& Refusal() const { return refusal_; }

  // The holder's note of a log database.
  static QString NoteFilePath(const QString& database_path);

 private:
  int database_fd_ = -1;
  int note_fd_ = -1;
  QString refusal_;
};

#endif  // QORVSYNC_PLATFORM_OPERATION_LOCK_H_
