#include "confirmations/arriving_lines.h"

#include <utility>

#include "platform/text_codec.h"

namespace {

// Enough to tell a byte-order mark.
constexpr qsizetype kMarkBytes = 3;

}  // namespace

void ArrivingLines::Add(const QByteArray& bytes) {
  if (!exact_) return;
  if (started_) {
    Decode(bytes);
    return;
  }
  head_ += bytes;
  if (head_.size() >= kMarkBytes) Start();
}

void ArrivingLines::Start() {
  started_ = true;
  const TextEncoding mark = DecodeText(head_.left(kMarkBytes)).encoding;
  if (mark == TextEncoding::kUtf16Le || mark == TextEncoding::kUtf16Be) {
    exact_ = false;
    return;
  }
  marked_utf8_ = mark == TextEncoding::kUtf8;
  if (marked_utf8_) {
    // The saved file is read with a decoder that keeps what a piece left
    // unfinished and replaces what is no UTF-8: the same one here.
    utf8_ = QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    head_.remove(0, kMarkBytes);
  }
  Decode(std::exchange(head_, QByteArray()));
}

void ArrivingLines::Decode(const QByteArray& bytes) {
  if (marked_utf8_) {
    lines_.Add(QString(utf8_.decode(bytes)), take_);
    return;
  }
  QByteArray whole = carry_ + bytes;
  const qsizetype unfinished = UnfinishedUtf8Tail(whole);
  carry_ = whole.right(unfinished);
  whole.chop(unfinished);
  const QString text = utf8_.decode(whole);
  // Not UTF-8: the saved file will read as Windows-1252 from its first byte.
  if (utf8_.hasError()) {
    exact_ = false;
    return;
  }
  lines_.Add(text, take_);
}

void ArrivingLines::Finish() {
  if (!exact_) return;
  if (!started_) Start();
  // A sequence cut off by the end makes the whole file Windows-1252 (a
  // marked file drops it, as the file's reader does).
  if (!exact_ || (!marked_utf8_ && !carry_.isEmpty())) {
    exact_ = false;
    return;
  }
  lines_.Finish(take_);
}
