#include "adif/adif_tags.h"

namespace {

constexpr qsizetype kMaxLengthDigits = 6;

bool IsAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsNameChar(QChar c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'_'; }

}  // namespace

std::optional<AdifTag> AdifTagAt(QStringView text, qsizetype at) {
  if (at < 0 || at >= text.size() || text[at] != u'<') return std::nullopt;
  qsizetype i = at + 1;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  if (i == at + 1 || i >= text.size()) return std::nullopt;
  AdifTag tag;
  tag.name = text.sliced(at + 1, i - at - 1);
  if (text[i] == u'>') {
    tag.end = i + 1;
    return tag;
  }
  if (text[i] != u':') return std::nullopt;
  const qsizetype digits_at = ++i;
  while (i < text.size() && IsAsciiDigit(text[i]) && i - digits_at < kMaxLengthDigits) ++i;
  if (i == digits_at || i >= text.size()) return std::nullopt;
  tag.length = text.sliced(digits_at, i - digits_at).toInt();
  if (text[i] == u':' && i + 2 < text.size() && IsAsciiLetter(text[i + 1])) i += 2;
  if (text[i] != u'>') return std::nullopt;
  tag.end = i + 1;
  return tag;
}

void ForEachAdifTag(QStringView text, const std::function<void(const AdifTag&)>& tag) {
  for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
    if (const std::optional<AdifTag> found = AdifTagAt(text, at)) {
      tag(*found);
      at = found->end - 1;
    }
  }
}
