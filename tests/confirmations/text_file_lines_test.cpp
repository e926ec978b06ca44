// A report file read line by line gives the lines of the whole-file read.
#include "confirmations/text_file_lines.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

constexpr qsizetype kPiece = 1 << 20;  // the reader's piece size

// `tail` placed so that its first byte is the last of the first piece.
QByteArray AcrossPieces(const QByteArray& head, const QByteArray& tail) {
  QByteArray bytes = head;
  while (bytes.size() < kPiece - 1) bytes += "<CALL:4>W1AW<EOR>\r\n";
  bytes.truncate(kPiece - 1);
  bytes += tail;
  return bytes;
}

TEST(TextFileLines, GivesTheLinesOfTheWholeFileRead) {
  const struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"empty", ""},
      {"breaks of every kind, no final break", "a\r\nb\rc\nd\r\r\ne"},
      {"CR LF split between pieces", AcrossPieces("x\n", "\r\nnext\r\n")},
      {"lone CR ending the first piece", AcrossPieces("x\n", "\rnext")},
      {"UTF-8 character split between pieces", AcrossPieces("x\n", "\xC3\xA9t\xC3\xA9\r\n")},
      {"invalid UTF-8 after the first piece: Windows-1252",
       AcrossPieces("\xC3\xA9\n", "\n\xE9t\xE9\r\n")},
      {"UTF-8 cut short at the end: Windows-1252", "caf\xC3\xA9\r\nend\xC3"},
      {"UTF-8 with mark", "\xEF\xBB\xBF\xC3\xA9\r\n\xEF\xBB\xBFsecond"},
      {"UTF-16LE with mark", QByteArray("\xFF\xFE", 2) + QByteArray("a\0\r\0\n\0b\0", 8)},
      {"UTF-16BE with mark", QByteArray("\xFE\xFF", 2) + QByteArray("\0a\0\n\0b", 6)},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = dir.filePath("report.adi");
    WriteFileBytes(path, c.bytes);
    QStringList lines;
    TextFileLines(path).ForEach([&](const QString& line) { lines << line; });
    EXPECT_EQ(lines, ReadTextFileLines(path));
  }
}

TEST(TextFileLines, AMissingFileIsAnError) {
  QTemporaryDir dir;
  EXPECT_THROW(TextFileLines(dir.filePath("none.adi")), AppError);
}

}  // namespace
