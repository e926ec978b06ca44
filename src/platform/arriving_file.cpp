#include "platform/arriving_file.h"

#include "platform/app_error.h"
#include "platform/whole_file.h"

ArrivingFile::ArrivingFile(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::WriteOnly)) {
    throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(path_, file_.errorString()));
  }
}

void ArrivingFile::Write(const QByteArray& piece) {
  if (file_.write(piece) != piece.size()) Fail();
}

void ArrivingFile::Cancel() { file_.cancelWriting(); }

void ArrivingFile::Commit() {
  if (!CommitWholeFile(file_)) Fail();
}

void ArrivingFile::Fail() {
  const QString reason = file_.errorString();
  file_.cancelWriting();
  throw AppError(QStringLiteral("Cannot write file \"%1\". %2").arg(path_, reason));
}
