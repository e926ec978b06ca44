#ifndef QORVSYNC_ADIF_ADIF_READER_H_
#define QORVSYNC_ADIF_ADIF_READER_H_

#include <QString>
#include <QStringList>
#include <QStringView>

// 1-based position of the needle in the haystack, comparing ASCII letters
// without regard to case (no other character is folded); 0 when absent.
qsizetype PosNoCase(QStringView needle, QStringView haystack);

// True when the field tag of `name` opens at index `at` of the line: "<", the
// whole name and ":", letters in any case. QSO_DATE_OFF, GRIDSQUARE_EXT or
// CALLSIGN are other fields than QSO_DATE, GRIDSQUARE or CALL.
bool IsAdifTagAt(QStringView line, qsizetype at, QStringView name);

// True when a record end "<EOR>" (any letter case) opens at index `at`.
bool IsAdifRecordEndAt(QStringView line, qsizetype at);

// The name of the tag that opens with the "<" at index `at`: what stands
// before the first ":" or ">" after it, and in `end` which of the two that
// is. A null view when neither follows.
QStringView AdifTagNameAt(QStringView line, qsizetype at, QChar* end);

// Whether two names are the same, ASCII letters in any case. Inline: a
// report line's tag is held against a dozen names.
inline bool EqualsNoCase(QStringView a, QStringView b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    const char16_t x = a[i].unicode();
    const char16_t y = b[i].unicode();
    if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < u'a' || (x | 0x20) > u'z')) {
      return false;
    }
  }
  return true;
}

// Whether the line holds the field tag of `name`, or a record end, anywhere.
bool HasAdifTag(QStringView line, QStringView name);
bool HasAdifRecordEnd(QStringView line);

// How many of the lines hold the field tag of `name`.
qsizetype CountLinesWithAdifTag(const QStringList& lines, QStringView name);

// The value of the first field tag of `name` on the line (any letter case),
// cut out by the tag's length, within 255 characters of the tag's "<",
// trimmed; empty when the tag is absent or the value unreadable. A length
// that is not a whole number throws "'%s' is not a valid integer value" (the
// ":D" of a date tag included).
QString GetAdifValue(QStringView line, QStringView name);

// Like GetAdifValue, but accepts the ":D" type of a date tag and upper-cases
// the value. A value that starts with "<" (an empty field followed by the
// next tag) reads as empty.
QString GetAdifValueTyped(QStringView line, QStringView name);

#endif  // QORVSYNC_ADIF_ADIF_READER_H_
