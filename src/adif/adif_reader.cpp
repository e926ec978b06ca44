#include "adif/adif_reader.h"

#include "platform/conversions.h"

QString CurrentLine;

namespace {

// How far from the tag's "<" a reader looks.
constexpr qsizetype kWindow = 255;

char16_t Fold(QChar c) {
  const char16_t u = c.unicode();
  return u >= u'a' && u <= u'z' ? u - (u'a' - u'A') : u;
}

bool MatchesNoCase(QStringView haystack, qsizetype at, QStringView needle) {
  if (at + needle.size() > haystack.size()) return false;
  for (qsizetype k = 0; k < needle.size(); ++k) {
    if (Fold(haystack[at + k]) != Fold(needle[k])) return false;
  }
  return true;
}

// 0-based index of "<" + name in the line, or -1; jumps from "<" to "<" so
// that looking up a dozen fields in a long line stays cheap.
qsizetype IndexOfTag(QStringView name, QStringView line) {
  for (qsizetype i = line.indexOf(u'<'); i >= 0; i = line.indexOf(u'<', i + 1)) {
    if (MatchesNoCase(line, i + 1, name)) return i;
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
qsizetype Pos(QChar c, QStringView text) { return text.indexOf(c) + 1; }

// The window of CurrentLine that starts at the "<" of the wanted tag; empty
// (null) when the tag is not on the line.
QStringView TagWindow(QStringView name) {
  const qsizetype index = IndexOfTag(name, CurrentLine);
  if (index < 0) return {};
  return QStringView(CurrentLine).sliced(index).left(kWindow);
}

// The length between the first ":" and the first ">" of the tag text.
int TagLength(QStringView tag) {
  const qsizetype colon = Pos(u':', tag);
  const qsizetype close = Pos(u'>', tag);
  return StrToInt(Copy(tag, colon + 1, close - colon - 1));
}

}  // namespace

qsizetype PosNoCase(QStringView needle, QStringView haystack) {
  if (needle.isEmpty()) return 0;
  for (qsizetype i = 0; i + needle.size() <= haystack.size(); ++i) {
    if (MatchesNoCase(haystack, i, needle)) return i + 1;
  }
  return 0;
}

QString GetAdifValue(QStringView name) {
  const QStringView window = TagWindow(name);
  if (window.isNull()) return QString();
  const int length = TagLength(window);
  const qsizetype close = Pos(u'>', window);
  if (close == 0) return QString();
  const QStringView rest = window.sliced(close);
  // A value of one character with nothing after it reads as empty.
  if (rest.size() < 2) return QString();
  return TrimControlView(Copy(rest, 1, length)).toString();
}

QString GetAdifValueTyped(QStringView name) {
  const QStringView window = TagWindow(name);
  if (window.isNull()) return QString();
  const qsizetype close = Pos(u'>', window);
  const QStringView tag = window.first(close);
  const qsizetype date_type = tag.indexOf(u":D");
  const int length =
      date_type < 0 ? TagLength(tag)
                    : TagLength(tag.first(date_type).toString().append(tag.sliced(date_type + 2)));
  if (close == 0) return QString();
  const QStringView rest = window.sliced(close);
  // The value is read only when another tag follows it.
  const qsizetype next_tag = Pos(u'<', rest);
  if (next_tag <= 1) return QString();
  return AsciiUpper(TrimControlView(Copy(rest, 1, length)).toString());
}
