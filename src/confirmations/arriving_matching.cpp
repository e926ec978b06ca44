#include "confirmations/arriving_matching.h"

#include <utility>

#include "adif/adif_reader.h"

ArrivingMatching::ArrivingMatching(LogDatabase& database,
                                   std::function<void(const QString&)> take_line)
    : database_(database), take_line_(std::move(take_line)), lines_([this](const QString& line) {
        if (given_up_) return;
        if (HasAdifTag(line, u"CALL")) ++records_;
        layout_.Take(line);
        take_line_(line);
      }) {
  database_.HoldBackChanges(&staged_);
}

ArrivingMatching::~ArrivingMatching() { database_.HoldBackChanges(nullptr); }

void ArrivingMatching::Add(const QByteArray& piece) {
  if (!given_up_) lines_.Add(piece);
}

void ArrivingMatching::Finish() {
  if (!given_up_) lines_.Finish();
  database_.HoldBackChanges(nullptr);
}
