#include "platform/registry_file.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "platform/text_codec.h"

namespace {

constexpr char16_t kBackslash = u'\\';
constexpr qsizetype kHexLineWidth = 77;

using Value = Registry::Value;
using ValueType = Registry::ValueType;

// A quoted text starting at `at` (on the opening quote); `at` ends after the
// closing quote. \\ and \" are the escapes; any other backslash is kept.
std::optional<QString> ReadQuoted(const QString& line, qsizetype& at) {
  if (at >= line.size() || line.at(at) != u'"') return std::nullopt;
  QString text;
  for (qsizetype i = at + 1; i < line.size(); ++i) {
    const QChar ch = line.at(i);
    if (ch == u'"') {
      at = i + 1;
      return text;
    }
    if (ch == kBackslash && i + 1 < line.size() &&
        (line.at(i + 1) == kBackslash || line.at(i + 1) == u'"')) {
      ++i;
      text += line.at(i);
      continue;
    }
    text += ch;
  }
  return std::nullopt;
}

QString Quote(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
  quoted.replace(QLatin1String("\""), QLatin1String("\\\""));
  return u'"' + quoted + u'"';
}

std::optional<QByteArray> ParseHexList(QStringView list) {
  QByteArray bytes;
  const QString compact = list.toString().remove(u' ').remove(u'\t');
  if (compact.isEmpty()) return bytes;
  for (const QString& item : compact.split(u',')) {
    bool ok = false;
    const uint byte = item.toUInt(&ok, 16);
    if (!ok || item.size() > 2) return std::nullopt;
    bytes.append(static_cast<char>(byte));
  }
  return bytes;
}

QString Utf16LeToText(const QByteArray& bytes) {
  QStringDecoder decoder(QStringConverter::Utf16LE);
  QString text = decoder.decode(bytes);
  while (text.endsWith(QChar(0))) text.chop(1);
  return text;
}

QByteArray TextToUtf16Le(const QString& text) {
  QStringEncoder encoder(QStringConverter::Utf16LE);
  QByteArray bytes = encoder.encode(text);
  bytes.append(2, '\0');
  return bytes;
}

Value BytesValue(int raw_type, const QByteArray& bytes) {
  Value value;
  value.raw_type = raw_type;
  value.bytes = bytes;
  switch (raw_type) {
    case 1:
      value.type = ValueType::kString;
      value.text = Utf16LeToText(bytes);
      break;
    case 2:
      value.type = ValueType::kExpandString;
      value.text = Utf16LeToText(bytes);
      break;
    case 3:
      value.type = ValueType::kBinary;
      break;
    case 4:
      if (bytes.size() == 4) {
        value.type = ValueType::kDword;
        value.number = static_cast<quint8>(bytes[0]) | static_cast<quint8>(bytes[1]) << 8 |
                       static_cast<quint8>(bytes[2]) << 16 |
                       static_cast<quint32>(static_cast<quint8>(bytes[3])) << 24;
        break;
      }
      value.type = ValueType::kOther;
      break;
    default:
      value.type = ValueType::kOther;
  }
  return value;
}

// The data part after "=".
std::optional<Value> ParseData(const QString& data) {
  if (data.startsWith(u'"')) {
    qsizetype at = 0;
    std::optional<QString> text = ReadQuoted(data, at);
    if (!text) return std::nullopt;
    Value value;
    value.text = *text;
    return value;
  }
  if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
    const QString digits = data.mid(6).trimmed();
    bool ok = false;
    const quint32 number = digits.toUInt(&ok, 16);
    if (!ok || digits.size() > 8) return std::nullopt;
    Value value;
    value.type = ValueType::kDword;
    value.raw_type = 4;
    value.number = number;
    return value;
  }
  if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) return std::nullopt;
  int raw_type = 3;
  qsizetype colon = 3;
  if (data.mid(3, 1) == QLatin1String("(")) {
    const qsizetype close = data.indexOf(u')', 4);
    bool ok = false;
    if (close > 4) raw_type = data.mid(4, close - 4).toInt(&ok, 16);
    if (!ok) return std::nullopt;
    colon = close + 1;
  }
  if (data.mid(colon, 1) != QLatin1String(":")) return std::nullopt;
  std::optional<QByteArray> bytes = ParseHexList(QStringView(data).mid(colon + 1));
  if (!bytes) return std::nullopt;
  return BytesValue(raw_type, *bytes);
}

// A logical line and the physical lines it was read from.
struct LogicalLine {
  QString text;
  QString raw;  // the physical lines joined by "\n"
};

// Lines ending in a backslash continue on the next line (long hex lists).
QList<LogicalLine> LogicalLines(const QString& text) {
  QList<LogicalLine> logical;
  LogicalLine pending;
  bool continuing = false;
  for (const QString& raw : SplitLines(text)) {
    const QString line = continuing ? raw.trimmed() : raw;
    pending.raw += (continuing ? QStringLiteral("\n") : QString()) + raw;
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace()) --end;
    if (end > 0 && line.at(end - 1) == kBackslash && !line.trimmed().startsWith(u'[')) {
      pending.text += line.left(end - 1);
      continuing = true;
      continue;
    }
    pending.text += line;
    logical.append(pending);
    pending = LogicalLine();
    continuing = false;
  }
  if (continuing) logical.append(pending);
  return logical;
}

// False when the line is not a value line this reader understands.
bool ParseValueLine(const QString& line, RegistryFile::Key& key) {
  QString name;
  qsizetype at = 0;
  if (line.startsWith(u'@')) {
    at = 1;
  } else {
    std::optional<QString> quoted = ReadQuoted(line, at);
    if (!quoted) return false;
    name = *quoted;
  }
  const QString rest = line.mid(at).trimmed();
  if (!rest.startsWith(u'=')) return false;
  std::optional<Value> value = ParseData(rest.mid(1).trimmed());
  if (!value) return false;
  SetValue(key, name, *value);
  return true;
}

QString HexLine(const QString& prefix, const QByteArray& bytes, const QString& eol) {
  QString out;
  QString line = prefix;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    QString piece = QStringLiteral("%1").arg(static_cast<quint8>(bytes[i]), 2, 16, QChar(u'0'));
    if (i + 1 < bytes.size()) piece += u',';
    if (i > 0 && line.size() + piece.size() > kHexLineWidth) {
      out += line + kBackslash + eol;
      line = QStringLiteral("  ");
    }
    line += piece;
  }
  return out + line;
}

QString DataText(const QString& prefix, const Value& value, const QString& eol) {
  switch (value.type) {
    case ValueType::kString:
      // Line breaks and NULs cannot stand between quotes.
      if (value.text.contains(u'\r') || value.text.contains(u'\n') ||
          value.text.contains(QChar(0))) {
        return HexLine(prefix + QStringLiteral("hex(1):"), TextToUtf16Le(value.text), eol);
      }
      return prefix + Quote(value.text);
    case ValueType::kExpandString:
      return HexLine(prefix + QStringLiteral("hex(2):"), TextToUtf16Le(value.text), eol);
    case ValueType::kDword:
      return prefix + QStringLiteral("dword:%1").arg(value.number, 8, 16, QChar(u'0'));
    case ValueType::kBinary:
      return HexLine(prefix + QStringLiteral("hex:"), value.bytes, eol);
    case ValueType::kOther:
      break;
  }
  return HexLine(prefix + QStringLiteral("hex(%1):").arg(value.raw_type, 0, 16), value.bytes, eol);
}

}  // namespace

RegistryFile RegistryFile::Parse(const QByteArray& bytes) {
  RegistryFile file;
  QString text;
  if (bytes.startsWith("\xFF\xFE")) {
    file.encoding = Encoding::kUtf16Le;
    QStringDecoder decoder(QStringConverter::Utf16LE);
    text = decoder.decode(bytes.mid(2));
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    file.encoding = Encoding::kUtf8Bom;
    text = QString::fromUtf8(bytes.mid(3));
  } else {
    text = QString::fromUtf8(bytes);
  }
  file.crlf = text.contains(QLatin1String("\r\n"));

  Key* current = &file.AddKey(QString());
  // A key line that names no usable key ("[-key]" deletes a key in an import;
  // a cut "[key" names none) starts a block of its own, kept as read: no
  // value set later may land inside it, where it would not be found again.
  bool in_usable_key = true;
  bool header_seen = false;
  for (const LogicalLine& logical : LogicalLines(text)) {
    const QString line = logical.text.trimmed();
    if (line.isEmpty()) continue;
    if (!header_seen) {
      header_seen = true;
      if (line.startsWith(QLatin1String("Windows Registry Editor")) ||
          line == QLatin1String("REGEDIT4")) {
        continue;
      }
    }
    if (line.startsWith(u'[')) {
      in_usable_key = line.endsWith(u']') && !line.startsWith(QLatin1String("[-"));
      if (in_usable_key) {
        current = &file.AddKey(line.mid(1, line.size() - 2));
        continue;
      }
      file.keys.append(Key{QString(), {}});
      current = &file.keys.last();
    } else if (in_usable_key && !current->path.isEmpty() &&
               (line.startsWith(u'"') || line.startsWith(u'@')) && ParseValueLine(line, *current)) {
      continue;
    }
    current->values.append(NamedValue{QString(), Value(), logical.raw});
  }
  if (file.keys.first().values.isEmpty()) file.keys.removeFirst();
  return file;
}

QByteArray RegistryFile::Serialize() const {
  const QString eol = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
  QString text = QStringLiteral("Windows Registry Editor Version 5.00") + eol;
  for (const Key& key : keys) {
    text += eol;
    if (!key.path.isEmpty()) text += u'[' + key.path + u']' + eol;
    for (const NamedValue& named : key.values) {
      if (!named.unknown.isEmpty()) {
        text += QString(named.unknown).replace(u'\n', eol) + eol;
        continue;
      }
      const QString prefix =
          (named.name.isEmpty() ? QStringLiteral("@") : Quote(named.name)) + u'=';
      text += DataText(prefix, named.value, eol) + eol;
    }
  }
  switch (encoding) {
    case Encoding::kUtf16Le: {
      QStringEncoder encoder(QStringConverter::Utf16LE);
      return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
    }
    case Encoding::kUtf8Bom:
      return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::kUtf8:
      break;
  }
  return text.toUtf8();
}

RegistryFile::Key* RegistryFile::FindKey(const QString& path) {
  for (Key& key : keys) {
    if (key.path.compare(path, Qt::CaseInsensitive) == 0) return &key;
  }
  return nullptr;
}

const RegistryFile::Key* RegistryFile::FindKey(const QString& path) const {
  return const_cast<RegistryFile*>(this)->FindKey(path);
}

bool RegistryFile::KeyExists(const QString& path) const {
  const QString prefix = path + kBackslash;
  for (const Key& key : keys) {
    if (key.path.compare(path, Qt::CaseInsensitive) == 0 ||
        key.path.startsWith(prefix, Qt::CaseInsensitive)) {
      return true;
    }
  }
  return false;
}

RegistryFile::Key& RegistryFile::AddKey(const QString& path) {
  if (Key* existing = FindKey(path)) return *existing;
  keys.append(Key{path, {}});
  return keys.last();
}

const RegistryFile::NamedValue* FindValue(const RegistryFile::Key& key, const QString& name) {
  for (const RegistryFile::NamedValue& named : key.values) {
    if (named.unknown.isEmpty() && named.name.compare(name, Qt::CaseInsensitive) == 0) {
      return &named;
    }
  }
  return nullptr;
}

void SetValue(RegistryFile::Key& key, const QString& name, const Registry::Value& value) {
  qsizetype after_last_value = 0;
  for (qsizetype i = 0; i < key.values.size(); ++i) {
    RegistryFile::NamedValue& named = key.values[i];
    if (!named.unknown.isEmpty()) continue;
    if (named.name.compare(name, Qt::CaseInsensitive) == 0) {
      named.value = value;
      return;
    }
    after_last_value = i + 1;
  }
  // Behind the key's values: lines kept as read that follow them (a comment
  // about the next key) stay next to what follows.
  key.values.insert(after_last_value, RegistryFile::NamedValue{name, value, QString()});
}
