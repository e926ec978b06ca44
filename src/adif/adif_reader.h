#ifndef QORVSYNC_ADIF_ADIF_READER_H_
#define QORVSYNC_ADIF_ADIF_READER_H_

#include <QString>
#include <QStringView>

// The report line under examination. Callers assign it, then read its fields.
extern QString CurrentLine;

// 1-based position of the needle in the haystack, comparing ASCII letters
// without regard to case (no other character is folded); 0 when absent.
qsizetype PosNoCase(QStringView needle, QStringView haystack);

// The value of the first tag on CurrentLine that starts with "<" + name (any
// letter case), cut out by the tag's length, within 255 characters of the
// tag's "<", trimmed; empty when the tag is absent or the value unreadable.
// A length that is not a whole number throws "'%s' is not a valid integer
// value" (the ":D" of a date tag included).
QString GetAdifValue(QStringView name);

// Like GetAdifValue, but accepts the ":D" type of a date tag, reads a value
// only when another tag follows it within the window, and upper-cases it.
QString GetAdifValueTyped(QStringView name);

#endif  // QORVSYNC_ADIF_ADIF_READER_H_
