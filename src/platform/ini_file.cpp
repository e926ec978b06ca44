#include "platform/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <optional>

#include "platform/app_error.h"
#include "platform/text_codec.h"
#include "platform/whole_file.h"

namespace {

struct IniText {
  QStringList lines;
  TextEncoding encoding = TextEncoding::kAnsi;
};

// A missing or unreadable file reads as empty, as the profile routines do.
IniText Load(const QString& path) {
  IniText ini;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return ini;
  DecodedText decoded = DecodeText(file.readAll());
  ini.lines = SplitLines(decoded.text);
  ini.encoding = decoded.encoding;
  return ini;
}

// The section name of a "[name]" line; nullopt for any other line.
std::optional<QString> SectionOf(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(u'[')) return std::nullopt;
  const qsizetype close = trimmed.indexOf(u']');
  return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// The key of a "key=value" line (a line without "=" is a key without value);
// nullopt for blank and comment lines.
std::optional<QString> KeyOf(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.isEmpty() || trimmed.startsWith(u';')) return std::nullopt;
  return trimmed.left(trimmed.indexOf(u'=')).trimmed();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// First line of the first section of that name, -1 when there is none.
qsizetype FindSection(const QStringList& lines, const QString& section) {
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const std::optional<QString> name = SectionOf(lines.at(i));
    if (name && SameName(*name, section)) return i;
  }
  return -1;
}

// The line of `key` in the section starting at `header`, -1 when missing;
// `end` receives the index after the section's last line.
qsizetype FindKey(const QStringList& lines, qsizetype header, const QString& key,
                  qsizetype* end = nullptr) {
  qsizetype found = -1;
  qsizetype i = header + 1;
  for (; i < lines.size() && !SectionOf(lines.at(i)); ++i) {
    const std::optional<QString> name = KeyOf(lines.at(i));
    if (found < 0 && name && SameName(*name, key)) found = i;
  }
  if (end != nullptr) *end = i;
  return found;
}

QString ValueOf(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == u'"' || value.front() == u'\'')) {
    value = value.mid(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniFile::IniFile(const QString& path) : path_(path) {}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& fallback) const {
  const QStringList lines = Load(path_).lines;
  const qsizetype header = FindSection(lines, section);
  const qsizetype at = header < 0 ? -1 : FindKey(lines, header, key);
  return at < 0 ? fallback : ValueOf(lines.at(at));
}

bool IniFile::KeyExists(const QString& section, const QString& key) const {
  const QStringList lines = Load(path_).lines;
  const qsizetype header = FindSection(lines, section);
  return header >= 0 && FindKey(lines, header, key) >= 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  WriteStrings(section, {{key, value}});
}

void IniFile::WriteStrings(const QString& section,
                           const QList<std::pair<QString, QString>>& values) {
  IniText ini = Load(path_);
  QStringList& lines = ini.lines;
  for (const auto& [key, value] : values) {
    const qsizetype header = FindSection(lines, section);
    if (header < 0) {
      if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
      lines.append(u'[' + section + u']');
      lines.append(key + u'=' + value);
      continue;
    }
    qsizetype end = 0;
    const qsizetype at = FindKey(lines, header, key, &end);
    if (at >= 0) {
      lines[at] = *KeyOf(lines.at(at)) + u'=' + value;
    } else {
      // After the section's last entry, before the blank lines that end it.
      while (end > header + 1 && lines.at(end - 1).trimmed().isEmpty()) --end;
      lines.insert(end, key + u'=' + value);
    }
  }

  // A file read by its byte-order mark keeps that encoding; others are ANSI.
  const QByteArray bytes = EncodeText(JoinLinesCrLf(lines), ini.encoding);
  QSaveFile file(path_);
  const bool opened = file.open(QIODevice::WriteOnly);
  if (opened && owner_only_) file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (!opened || file.write(bytes) != bytes.size() || !CommitWholeFile(file)) {
    throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(path_, file.errorString()));
  }
}
