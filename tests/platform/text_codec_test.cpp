#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/app_error.h"

TEST(TextCodec, AnsiIsWindows1252NotLatin1) {
  EXPECT_EQ(FromAnsi(QByteArray("\x80\x9F\xE9", 3)), QString::fromUtf8("€Ÿé"));
  EXPECT_EQ(ToAnsi(QString::fromUtf8("€Ÿé")), QByteArray("\x80\x9F\xE9", 3));
  // Unassigned bytes survive a round trip; what 1252 cannot hold becomes "?".
  EXPECT_EQ(ToAnsi(FromAnsi(QByteArray("\x81\x8D\x8F\x90\x9D", 5))),
            QByteArray("\x81\x8D\x8F\x90\x9D", 5));
  EXPECT_EQ(ToAnsi(QString::fromUtf8("a\u0416b😀\x1A")), QByteArray("a?b?\x1A"));
}

TEST(TextCodec, DecodesByByteOrderMark) {
  struct Case {
    QByteArray bytes;
    TextEncoding encoding;
  } cases[] = {
      {QByteArray("\xEF\xBB\xBF\xC3\xA9", 5), TextEncoding::kUtf8},
      {QByteArray("\xFF\xFE\xE9\x00", 4), TextEncoding::kUtf16Le},
      {QByteArray("\xFE\xFF\x00\xE9", 4), TextEncoding::kUtf16Be},
      {QByteArray("\xE9", 1), TextEncoding::kAnsi},
  };
  for (const Case& c : cases) {
    DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.text, QString::fromUtf8("é"));
    EXPECT_EQ(decoded.encoding, c.encoding);
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), c.bytes);
  }
}

TEST(TextCodec, TextWithoutMarkIsUtf8WhenItIsValidUtf8) {
  struct Case {
    QByteArray bytes;
    QString text;
    TextEncoding encoding;
  } cases[] = {
      {"Sk\xC3\xA5ne", QString::fromUtf8("Skåne"), TextEncoding::kUtf8NoMark},
      {"Sk\xE5ne", QString::fromUtf8("Skåne"), TextEncoding::kAnsi},
      {"\xC3\xA5\xE5", QString::fromUtf8("Ã¥å"), TextEncoding::kAnsi},  // not all UTF-8
      {"\xC0\xAF", QString::fromUtf8("À¯"), TextEncoding::kAnsi},       // overlong
      {"plain", "plain", TextEncoding::kAnsi},
      {"\xEF\xBB\xBF\xC3\xA5", QString::fromUtf8("å"), TextEncoding::kUtf8},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = DecodeTextDetectingUtf8(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.bytes.toHex().toStdString();
    EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes.toHex().toStdString();
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), c.bytes) << c.bytes.toHex().toStdString();
  }
  // Files of the logbook's own (ini files) keep to the ANSI code page.
  EXPECT_EQ(DecodeText("Sk\xC3\xA5ne").text, QString::fromUtf8("SkÃ¥ne"));
}

TEST(TextCodec, SplitsAtEveryLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), QStringList({"a", ""}));
  EXPECT_EQ(SplitLines("\n\r"), QStringList({"", ""}));
  EXPECT_TRUE(SplitLines("").isEmpty());
}

TEST(TextCodec, FilesAreWrittenWithCrLfAndReadBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("out.txt");
  WriteTextFileLines(path, {"Error", QString::fromUtf8("15.09.2021 €")});
  EXPECT_EQ(ReadFileBytes(path), QByteArray("Error\r\n15.09.2021 \x80\r\n"));
  TextEncoding encoding = TextEncoding::kUtf8;
  EXPECT_EQ(ReadTextFileLines(path, &encoding),
            QStringList({"Error", QString::fromUtf8("15.09.2021 €")}));
  EXPECT_EQ(encoding, TextEncoding::kAnsi);
  try {
    ReadTextFileLines(dir.filePath("missing.txt"));
    FAIL() << "no error for a missing file";
  } catch (const AppError& error) {
    EXPECT_TRUE(error.Message().startsWith("Cannot open file \"" + dir.filePath("missing.txt")));
  }
}
