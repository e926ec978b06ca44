#ifndef QORVSYNC_PLATFORM_ARRIVING_FILE_H_
#define QORVSYNC_PLATFORM_ARRIVING_FILE_H_

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A file written piece by piece as a reply arrives, beside the old copy,
// which it replaces only once the reply is known to be whole (Commit). A file
// neither committed nor cancelled is dropped; the old copy stays.
class ArrivingFile {
 public:
  // Throws AppError "Cannot create file ..." when it cannot be begun.
  explicit ArrivingFile(const QString& path);

  // Throws AppError "Cannot write file ..." and drops what was written.
  void Write(const QByteArray& piece);
  // Drops what was written: the reply did not arrive whole.
  void Cancel();
  // Puts the file in place of the old copy, durably; throws like Write.
  void Commit();

 private:
  [[noreturn]] void Fail();

  QString path_;
  QSaveFile file_;
};

#endif  // QORVSYNC_PLATFORM_ARRIVING_FILE_H_
