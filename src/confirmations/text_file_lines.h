#ifndef QORVSYNC_CONFIRMATIONS_TEXT_FILE_LINES_H_
#define QORVSYNC_CONFIRMATIONS_TEXT_FILE_LINES_H_

#include <QString>
#include <functional>
#include <utility>

#include "platform/text_codec.h"

// A text file read line by line, holding only a piece of it at a time, so
// that a report of a million records costs no more memory than one of ten.
// Lines and decoding are those of ReadTextFileLines: byte-order mark, else
// UTF-8 when the whole file is valid UTF-8, else Windows-1252; breaks at
// CR LF, lone CR and lone LF.
class TextFileLines {
 public:
  // Reads the file once to settle its encoding. Throws AppError when it
  // cannot be read.
  explicit TextFileLines(QString path);
  // A file whose encoding is known already: it is not read to settle it.
  TextFileLines(QString path, TextEncoding encoding)
      : path_(std::move(path)), encoding_(encoding) {}

  // Every line in order. Throws AppError when the file cannot be read.
  void ForEach(const std::function<void(const QString&)>& take) const;

 private:
  QString path_;
  TextEncoding encoding_ = TextEncoding::kAnsi;
};

// The lines of a file and those of them that name a CALL (the records a run
// offers), counted in one pass before a run, for its progress.
struct LineTally {
  qsizetype lines = 0;
  qsizetype records = 0;
};
LineTally CountLinesAndRecords(const TextFileLines& file);

#endif  // QORVSYNC_CONFIRMATIONS_TEXT_FILE_LINES_H_
