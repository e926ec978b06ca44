#include "platform/text_codec.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <utility>

#include "platform/app_error.h"
#include "platform/whole_file.h"

namespace {

// Windows-1252 in both directions, derived once from Qt's codec. Unassigned
// bytes decode to the C1 control of the same value, as Windows does.
struct Cp1252Table {
  std::array<QChar, 256> to_unicode;
  QHash<char16_t, char> from_unicode;

  Cp1252Table() {
    QStringDecoder decoder("windows-1252");
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      QString decoded = decoder.isValid() ? decoder.decode(QByteArrayView(&byte, 1)) : QString();
      QChar ch = decoded.size() == 1 ? decoded.at(0) : QChar(b);
      if (ch == QChar::ReplacementCharacter) ch = QChar(b);
      to_unicode[b] = ch;
      from_unicode.insert(ch.unicode(), byte);
    }
  }
};

const Cp1252Table& Table() {
  static const Cp1252Table table;
  return table;
}

QString ReasonOf(const QFileDevice& file) { return file.errorString(); }

}  // namespace

QString FromAnsi(const QByteArray& bytes) {
  const Cp1252Table& table = Table();
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    out[i] = table.to_unicode[static_cast<unsigned char>(bytes[i])];
  }
  return text;
}

QByteArray ToAnsi(const QString& text) {
  // ASCII, the common case, is the same bytes in the code page.
  const QChar* units = text.constData();
  const qsizetype size = text.size();
  qsizetype ascii = 0;
  while (ascii < size && units[ascii].unicode() < 0x80) ++ascii;
  QByteArray bytes(size, Qt::Uninitialized);
  char* out = bytes.data();
  for (qsizetype i = 0; i < ascii; ++i) out[i] = static_cast<char>(units[i].unicode());
  if (ascii == size) return bytes;
  bytes.truncate(ascii);

  const Cp1252Table& table = Table();
  for (qsizetype i = ascii; i < size; ++i) {
    const char16_t unit = text.at(i).unicode();
    if (unit < 0x80) {
      bytes.append(static_cast<char>(unit));
      continue;
    }
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text.at(i + 1).unicode())) {
      ++i;  // one character outside the BMP, one "?"
      bytes.append('?');
      continue;
    }
    auto it = table.from_unicode.constFind(unit);
    bytes.append(it == table.from_unicode.cend() ? '?' : it.value());
  }
  return bytes;
}

DecodedText DecodeText(const QByteArray& bytes) {
  DecodedText result;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    result.encoding = TextEncoding::kUtf8;
    result.text = QString::fromUtf8(bytes.mid(3));
  } else if (bytes.startsWith("\xFF\xFE")) {
    result.encoding = TextEncoding::kUtf16Le;
    QStringDecoder decoder(QStringConverter::Utf16LE);
    result.text = decoder.decode(bytes.mid(2));
  } else if (bytes.startsWith("\xFE\xFF")) {
    result.encoding = TextEncoding::kUtf16Be;
    QStringDecoder decoder(QStringConverter::Utf16BE);
    result.text = decoder.decode(bytes.mid(2));
  } else {
    result.encoding = TextEncoding::kAnsi;
    result.text = FromAnsi(bytes);
  }
  return result;
}

DecodedText DecodeTextDetectingUtf8(const QByteArray& bytes) {
  DecodedText decoded = DecodeText(bytes);
  if (decoded.encoding != TextEncoding::kAnsi) return decoded;
  const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(),
                                 [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
  if (ascii) return decoded;
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) return decoded;
  return {std::move(text), TextEncoding::kUtf8NoMark};
}

QByteArray EncodeText(const QString& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8NoMark:
      return text.toUtf8();
    case TextEncoding::kUtf8:
      return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TextEncoding::kUtf16Le: {
      QStringEncoder encoder(QStringConverter::Utf16LE);
      return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
    }
    case TextEncoding::kUtf16Be: {
      QStringEncoder encoder(QStringConverter::Utf16BE);
      return QByteArray("\xFE\xFF") + QByteArray(encoder.encode(text));
    }
    case TextEncoding::kAnsi:
      break;
  }
  return ToAnsi(text);
}

QStringList SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar ch = text.at(i);
    if (ch != u'\r' && ch != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (ch == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.append(text.mid(start));
  return lines;
}

QString JoinLinesCrLf(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) {
    text += line;
    text += QLatin1String("\r\n");
  }
  return text;
}

QByteArray ReadFileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, ReasonOf(file)));
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, ReasonOf(file)));
  }
  return bytes;
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
  // Written beside the file and renamed over it at the end, so that a full
  // disk leaves the earlier file whole instead of cut short. A folder where
  // no new file may be made still gets the file written in place.
  QSaveFile file(path);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) {
    throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, ReasonOf(file)));
  }
  if (file.write(bytes) != bytes.size() || !CommitWholeFile(file)) {
    const QString reason = ReasonOf(file);
    file.cancelWriting();
    throw AppError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
  }
}

QStringList ReadTextFileLines(const QString& path, TextEncoding* encoding) {
  DecodedText decoded = DecodeTextDetectingUtf8(ReadFileBytes(path));
  if (encoding != nullptr) *encoding = decoded.encoding;
  return SplitLines(decoded.text);
}

void WriteTextFileLines(const QString& path, const QStringList& lines, TextEncoding encoding) {
  WriteFileBytes(path, EncodeText(JoinLinesCrLf(lines), encoding));
}

qsizetype UnfinishedUtf8Tail(const QByteArray& bytes) {
  const qsizetype n = bytes.size();
  for (qsizetype i = n - 1; i >= 0 && i >= n - 4; --i) {
    const auto byte = static_cast<unsigned char>(bytes.at(i));
    if ((byte & 0xC0) == 0x80) continue;
    const qsizetype needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return n - i < needed ? n - i : 0;
  }
  return 0;
}
