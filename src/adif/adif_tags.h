#ifndef QORVSYNC_ADIF_ADIF_TAGS_H_
#define QORVSYNC_ADIF_ADIF_TAGS_H_

#include <QStringView>
#include <functional>
#include <optional>

#include "adif/adif_reader.h"

// One tag of tagged ADIF text: a field "<NAME:length>" or "<NAME:length:T>"
// (a one-letter type), or a marker "<NAME>" such as "<EOR>" and "<EOH>". The
// name is of ASCII letters, digits and "_"; a length of one to six digits.
struct AdifTag {
  QStringView name;
  qsizetype length = -1;  // -1 for a marker
  qsizetype end = 0;      // the index just after the tag's ">"

  bool IsMarker() const { return length < 0; }
  bool Is(QStringView wanted) const { return EqualsNoCase(name, wanted); }
  // The field's value: the `length` characters after the tag, as far as the
  // text goes.
  QStringView Value(QStringView text) const { return text.sliced(end).left(length); }
};

// The tag whose "<" stands at index `at` of the text, or nothing.
std::optional<AdifTag> AdifTagAt(QStringView text, qsizetype at);

// Every tag of the text in order. The search goes on right after each tag,
// as the runs' field look-up does, so a tag is found wherever it stands.
void ForEachAdifTag(QStringView text, const std::function<void(const AdifTag&)>& tag);

#endif  // QORVSYNC_ADIF_ADIF_TAGS_H_
