// A report file read line by line gives the lines of the whole-file read.
#include "confirmations/text_file_lines.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "confirmations/arriving_lines.h"
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

// A reply matched as it arrives, in pieces of any size, gets the lines its
// saved file will give, or is told that it cannot know them (and is then
// read from the file).
TEST(ArrivingLines, GivesTheSavedFilesLinesOrSaysItCannot) {
  const struct Case {
    const char* what;
    QByteArray bytes;
    bool exact;
  } cases[] = {
      {"empty", "", true},
      {"breaks of every kind, no final break", "a\r\nb\rc\nd\r\r\ne", true},
      {"UTF-8", "caf\xC3\xA9\r\n\xE2\x82\xAC 5\r\n", true},
      {"invalid UTF-8 at the end: Windows-1252", "caf\xC3\xA9\r\nend \xE9t\xE9\r\n", false},
      {"UTF-8 cut short at the end: Windows-1252", "caf\xC3\xA9\r\nend\xC3", false},
      {"ASCII then a lone high byte", "abc\r\n\xB0", false},
      {"UTF-8 with mark, bad bytes replaced", "\xEF\xBB\xBF\xC3\xA9\r\nx\xFFy\n", true},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", true},
      {"two bytes", "ab", true},
      {"UTF-16LE with mark", QByteArray("\xFF\xFE", 2) + QByteArray("a\0\r\0\n\0b\0", 8), false},
      {"UTF-16BE mark alone", QByteArray("\xFE\xFF", 2), false},
      {"CR LF split between file pieces", AcrossPieces("x\n", "\r\nnext\r\n"), true},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath("report.adi");
  for (const Case& c : cases) {
    WriteFileBytes(path, c.bytes);
    const QStringList saved = ReadTextFileLines(path);
    const bool big = c.bytes.size() > 4096;
    for (const qsizetype piece :
         big ? QList<qsizetype>{4096, 65537} : QList<qsizetype>{1, 2, 3, 7, 4096}) {
      SCOPED_TRACE(std::string(c.what) + ", pieces of " + std::to_string(piece));
      QStringList lines;
      ArrivingLines arriving([&](const QString& line) { lines << line; });
      for (qsizetype at = 0; at < c.bytes.size(); at += piece) arriving.Add(c.bytes.mid(at, piece));
      arriving.Finish();
      EXPECT_EQ(arriving.Exact(), c.exact);
      if (c.exact) {
        EXPECT_EQ(lines, saved);
      } else {
        // What was given before it knew is a beginning of the saved lines
        // at most; the run that took them is dropped.
        EXPECT_LE(lines.size(), saved.size());
      }
    }
  }
}

TEST(TextFileLines, AMissingFileIsAnError) {
  QTemporaryDir dir;
  EXPECT_THROW(TextFileLines(dir.filePath("none.adi")), AppError);
}

}  // namespace
