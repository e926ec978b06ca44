#ifndef QORVSYNC_PLATFORM_TEXT_CODEC_H_
#define QORVSYNC_PLATFORM_TEXT_CODEC_H_

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a text file or a reply body was encoded. kUtf8NoMark is UTF-8 found
// without a byte-order mark.
enum class TextEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be, kUtf8NoMark };

struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::kAnsi;
};

// Decodes by byte-order mark (UTF-8, UTF-16 LE or BE), else as Windows-1252.
DecodedText DecodeText(const QByteArray& bytes);

// Like DecodeText, but text without a byte-order mark that holds valid UTF-8
// beyond ASCII is read as UTF-8 (kUtf8NoMark): what services send and other
// programs write today. Anything else without a mark is Windows-1252.
DecodedText DecodeTextDetectingUtf8(const QByteArray& bytes);

// How many bytes at the end begin a UTF-8 sequence that lacks its last bytes:
// text read piece by piece keeps them for the next piece.
qsizetype UnfinishedUtf8Tail(const QByteArray& bytes);

// Encodes in the given encoding; the UTF encodings get their byte-order mark,
// except kUtf8NoMark.
// A character the ANSI code page cannot hold is written as "?".
QByteArray EncodeText(const QString& text, TextEncoding encoding);

QString FromAnsi(const QByteArray& bytes);
QByteArray ToAnsi(const QString& text);

// Splits at CR LF, at a lone CR and at a lone LF. A line end at the very end
// of the text does not start another, empty line.
QStringList SplitLines(const QString& text);

// Each line followed by CR LF.
QString JoinLinesCrLf(const QStringList& lines);

// Reads a whole text file as lines (DecodeTextDetectingUtf8); errors carry
// the system's reason: Cannot open file "<path>". <reason>
QStringList ReadTextFileLines(const QString& path, TextEncoding* encoding = nullptr);

// Writes the lines, each followed by CR LF, replacing the file. The default is
// the ANSI code page without a byte-order mark.
void WriteTextFileLines(const QString& path, const QStringList& lines,
                        TextEncoding encoding = TextEncoding::kAnsi);

// Reads or writes a whole file as bytes, with the same error texts.
QByteArray ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const QByteArray& bytes);

#endif  // QORVSYNC_PLATFORM_TEXT_CODEC_H_
