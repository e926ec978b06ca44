#ifndef QORVSYNC_CONFIRMATIONS_ARRIVING_LINES_H_
#define QORVSYNC_CONFIRMATIONS_ARRIVING_LINES_H_

#include <QByteArray>
#include <QStringDecoder>
#include <utility>

#include "confirmations/line_splitter.h"
#include "platform/text_codec.h"

// The lines of a reply as its bytes arrive, for matching while it downloads.
// They are the lines TextFileLines will read from the saved reply only while
// the reply is ASCII, valid UTF-8 or marked UTF-8: which encoding a reply
// without a mark is in is known only from its last byte, and a reply marked
// UTF-16 is not worth reading twice. From the first byte that would make the
// saved file read otherwise, no more lines are given and Exact() is false;
// the reply is then read from its file once it has arrived.
class ArrivingLines {
 public:
  explicit ArrivingLines(LineSplitter::Take take) : take_(std::move(take)) {}

  void Add(const QByteArray& bytes);
  // The reply has ended: gives its last line.
  void Finish();
  bool Exact() const { return exact_; }
  // How the lines were read, as TextFileLines may read the saved reply
  // when Exact(): UTF-8 with or without its mark (ASCII reads the same).
  TextEncoding Encoding() const {
    return marked_utf8_ ? TextEncoding::kUtf8 : TextEncoding::kUtf8NoMark;
  }

 private:
  void Start();
  void Decode(const QByteArray& bytes);

  LineSplitter::Take take_;
  LineSplitter lines_;
  // The first bytes, until there are enough to tell a byte-order mark.
  QByteArray head_;
  bool started_ = false;
  bool marked_utf8_ = false;
  bool exact_ = true;
  // The end of a UTF-8 sequence that is still to come.
  QByteArray carry_;
  QStringDecoder utf8_{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};

#endif  // QORVSYNC_CONFIRMATIONS_ARRIVING_LINES_H_
