#include "confirmations/text_file_lines.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <utility>

#include "adif/adif_reader.h"
#include "confirmations/line_splitter.h"
#include "platform/app_error.h"

namespace {

constexpr qint64 kPieceBytes = 1 << 20;

// Calls `take` for each piece of the file, in order.
void ForEachPiece(const QString& path, const std::function<void(const QByteArray&)>& take) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
  }
  for (;;) {
    const QByteArray piece = file.read(kPieceBytes);
    if (file.error() != QFileDevice::NoError) {
      throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    }
    if (piece.isEmpty()) return;
    take(piece);
  }
}

// The encoding DecodeTextDetectingUtf8 would choose for the whole file.
TextEncoding DetectEncoding(const QString& path) {
  std::optional<TextEncoding> marked;
  bool ascii = true;
  bool invalid = false;
  // An unfinished sequence at the end of a piece is checked with the next.
  QByteArray carry;
  bool first = true;
  ForEachPiece(path, [&](const QByteArray& piece) {
    if (first) {
      first = false;
      // A mark split over two reads cannot happen: a read holds 1 MiB.
      const DecodedText head = DecodeText(piece.left(3));
      if (head.encoding != TextEncoding::kAnsi) marked = head.encoding;
    }
    if (marked || invalid) return;
    if (ascii) {
      ascii = std::all_of(piece.cbegin(), piece.cend(),
                          [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
      if (ascii) return;
    }
    QByteArray bytes = carry + piece;
    const qsizetype unfinished = UnfinishedUtf8Tail(bytes);
    carry = bytes.right(unfinished);
    bytes.chop(unfinished);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    // The decoding runs only when its result is taken.
    const QString decoded = utf8.decode(bytes);
    invalid = utf8.hasError();
  });
  if (marked) return *marked;
  if (ascii || invalid || !carry.isEmpty()) return TextEncoding::kAnsi;
  return TextEncoding::kUtf8NoMark;
}

}  // namespace

TextFileLines::TextFileLines(QString path)
    : path_(std::move(path)), encoding_(DetectEncoding(path_)) {}

void TextFileLines::ForEach(const std::function<void(const QString&)>& take) const {
  std::optional<QStringDecoder> decoder;
  qsizetype skip = 0;
  switch (encoding_) {
    case TextEncoding::kUtf8:
      decoder.emplace(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
      skip = 3;
      break;
    case TextEncoding::kUtf8NoMark:
      decoder.emplace(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
      break;
    case TextEncoding::kUtf16Le:
      decoder.emplace(QStringConverter::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
      skip = 2;
      break;
    case TextEncoding::kUtf16Be:
      decoder.emplace(QStringConverter::Utf16BE, QStringConverter::Flag::ConvertInitialBom);
      skip = 2;
      break;
    case TextEncoding::kAnsi:
      break;
  }
  LineSplitter lines;
  ForEachPiece(path_, [&](const QByteArray& bytes) {
    const QByteArray piece = skip > 0 ? bytes.mid(skip) : bytes;
    skip = 0;
    lines.Add(decoder ? decoder->decode(piece) : FromAnsi(piece), take);
  });
  lines.Finish(take);
}

LineTally CountLinesAndRecords(const TextFileLines& file) {
  LineTally tally;
  file.ForEach([&tally](const QString& line) {
    ++tally.lines;
    if (HasAdifTag(line, u"CALL")) ++tally.records;
  });
  return tally;
}
