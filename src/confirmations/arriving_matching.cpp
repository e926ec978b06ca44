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

void RememberUnmatchedRunOfReply(const QString& state_folder, UnmatchedRunKind kind,
                                 const QString& saved_path, const UnmatchedOfRun& run,
                                 const ArrivingMatching* arrived) {
  if (arrived) {
    RememberUnmatchedRunOfArrivedFile(state_folder, kind, saved_path, run, arrived->Layout(),
                                      arrived->Encoding());
  } else {
    RememberUnmatchedRunOfFile(state_folder, kind, saved_path, run);
  }
}
