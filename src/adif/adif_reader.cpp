#include "adif/adif_reader.h"

#include <algorithm>

#include "platform/conversions.h"

namespace {

// How far from the tag's "<" a reader looks.
constexpr qsizetype kWindow = 255;

bool MatchesNoCase(QStringView haystack, qsizetype at, QStringView needle) {
  return at + needle.size() <= haystack.size() &&
         EqualsNoCase(haystack.sliced(at, needle.size()), needle);
}

// Index of the first c at or after `from`, or -1. A plain search: the
// general one costs more than a short report line does to scan.
qsizetype IndexOfChar(QStringView text, char16_t c, qsizetype from) {
  if (from >= text.size()) return -1;
  const QChar* found = std::find(text.begin() + from, text.end(), QChar(c));
  return found == text.end() ? -1 : found - text.begin();
}

// "<", the whole name, then `end`, letters in any case.
bool IsTagAt(QStringView line, qsizetype at, QStringView name, QChar end) {
  const qsizetype end_at = at + 1 + name.size();
  return at >= 0 && end_at < line.size() && line[at] == u'<' && line[end_at] == end &&
         MatchesNoCase(line, at + 1, name);
}

// 0-based index of the field tag of `name` in the line, or -1. Goes from ":"
// to ":" (one per field tag), so that a dozen look-ups in a long line, or in
// a line of nothing but "<", stay cheap.
qsizetype IndexOfTag(QStringView name, QStringView line) {
  const qsizetype n = name.size();
  for (qsizetype colon = IndexOfChar(line, u':', n + 1); colon >= 0;
       colon = IndexOfChar(line, u':', colon + 1)) {
    const qsizetype at = colon - n - 1;
    if (line[at] == u'<' && MatchesNoCase(line, at + 1, name)) return at;
  }
  return -1;
}

// The runtime's Copy: `count` characters from the 1-based `index`, clipped to
// the text (index >= 1); nothing for a count of zero or less.
QStringView Copy(QStringView text, qsizetype index, qsizetype count) {
  if (count <= 0 || index > text.size()) return {};
  return text.sliced(index - 1, qMin(count, text.size() - index + 1));
}

// 1-based position of c in text, 0 when absent.
qsizetype Pos(char16_t c, QStringView text) { return IndexOfChar(text, c, 0) + 1; }

// The window of the line that starts at the "<" of the wanted tag; empty
// (null) when the tag is not on the line.
QStringView TagWindow(QStringView line, QStringView name) {
  const qsizetype index = IndexOfTag(name, line);
  if (index < 0) return {};
  return line.sliced(index).left(kWindow);
}

// The length between the first ":" and the first ">" of the tag text.
int TagLength(QStringView tag) {
  const qsizetype colon = Pos(u':', tag);
  const qsizetype close = Pos(u'>', tag);
  return StrToInt(Copy(tag, colon + 1, close - colon - 1));
}

}  // namespace

bool IsAdifTagAt(QStringView line, qsizetype at, QStringView name) {
  return IsTagAt(line, at, name, u':');
}

bool IsAdifRecordEndAt(QStringView line, qsizetype at) { return IsTagAt(line, at, u"EOR", u'>'); }

QStringView AdifTagNameAt(QStringView line, qsizetype at, QChar* end) {
  for (qsizetype i = at + 1; i < line.size(); ++i) {
    if (line[i] == u':' || line[i] == u'>') {
      *end = line[i];
      return line.sliced(at + 1, i - at - 1);
    }
  }
  return {};
}

bool HasAdifTag(QStringView line, QStringView name) { return IndexOfTag(name, line) >= 0; }

bool HasAdifRecordEnd(QStringView line) {
  constexpr qsizetype kTagSize = 5;  // "<EOR>"
  for (qsizetype close = IndexOfChar(line, u'>', kTagSize - 1); close >= 0;
       close = IndexOfChar(line, u'>', close + 1)) {
    if (IsAdifRecordEndAt(line, close - kTagSize + 1)) return true;
  }
  return false;
}

qsizetype CountLinesWithAdifTag(const QStringList& lines, QStringView name) {
  return std::count_if(lines.cbegin(), lines.cend(),
                       [name](const QString& line) { return HasAdifTag(line, name); });
}

qsizetype PosNoCase(QStringView needle, QStringView haystack) {
  if (needle.isEmpty()) return 0;
  for (qsizetype i = 0; i + needle.size() <= haystack.size(); ++i) {
    if (MatchesNoCase(haystack, i, needle)) return i + 1;
  }
  return 0;
}

QString GetAdifValue(QStringView line, QStringView name) {
  const QStringView window = TagWindow(line, name);
  if (window.isNull()) return QString();
  const int length = TagLength(window);
  const qsizetype close = Pos(u'>', window);
  if (close == 0) return QString();
  const QStringView rest = window.sliced(close);
  // A value of one character with nothing after it reads as empty.
  if (rest.size() < 2) return QString();
  return TrimControlView(Copy(rest, 1, length)).toString();
}

QString GetAdifValueTyped(QStringView line, QStringView name) {
  const QStringView window = TagWindow(line, name);
  if (window.isNull()) return QString();
  const qsizetype close = Pos(u'>', window);
  const QStringView tag = window.first(close);
  const qsizetype date_type = tag.indexOf(u":D");
  const int length =
      date_type < 0 ? TagLength(tag)
                    : TagLength(tag.first(date_type).toString().append(tag.sliced(date_type + 2)));
  if (close == 0) return QString();
  const QStringView rest = window.sliced(close);
  // A value that starts with "<" is an empty field followed by the next tag.
  if (rest.startsWith(u'<')) return QString();
  return AsciiUpper(TrimControlView(Copy(rest, 1, length)).toString());
}
