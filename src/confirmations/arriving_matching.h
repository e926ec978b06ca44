#ifndef QORVSYNC_CONFIRMATIONS_ARRIVING_MATCHING_H_
#define QORVSYNC_CONFIRMATIONS_ARRIVING_MATCHING_H_

#include <QByteArray>
#include <QString>
#include <functional>

#include "confirmations/arriving_lines.h"
#include "confirmations/unmatched_run_memory.h"
#include "logdb/log_database.h"
#include "logdb/staged_changes.h"

// A reply matched line by line as it arrives, while the database holds the
// row changes back in Staged(): they are written only once the reply is
// known to be whole, and a reply that fails or is refused changes nothing.
// Stops giving lines when they would not be those of the saved reply
// (ArrivingLines) or when its user gives up; the saved reply is then
// matched as a whole instead.
class ArrivingMatching {
 public:
  ArrivingMatching(LogDatabase& database, std::function<void(const QString&)> take_line);
  ~ArrivingMatching();
  ArrivingMatching(const ArrivingMatching&) = delete;
  ArrivingMatching& operator=(const ArrivingMatching&) = delete;

  void Add(const QByteArray& piece);
  // The reply has ended: its last line, and the changes are held back no
  // longer.
  void Finish();
  void GiveUp() { given_up_ = true; }
  // Every line of the reply was given, as the saved reply will read.
  bool Whole() const { return !given_up_ && lines_.Exact(); }
  // The lines given that name a CALL: the records a run offers.
  qsizetype Records() const { return records_; }
  StagedChanges& Staged() { return staged_; }
  // For the remembered unmatched run: what the lines held, and how they were read.
  const RecordLayout& Layout() const { return layout_; }
  TextEncoding Encoding() const { return lines_.Encoding(); }

 private:
  LogDatabase& database_;
  std::function<void(const QString&)> take_line_;
  StagedChanges staged_;
  ArrivingLines lines_;
  RecordLayout layout_;
  qsizetype records_ = 0;
  bool given_up_ = false;
};

// Remembers the run's unmatched records from the saved reply at `saved_path`:
// with the layout and encoding seen as it arrived when `arrived` matched it
// whole, else read from the file alone.
void RememberUnmatchedRunOfReply(const QString& state_folder, UnmatchedRunKind kind,
                                 const QString& saved_path, const UnmatchedOfRun& run,
                                 const ArrivingMatching* arrived);

#endif  // QORVSYNC_CONFIRMATIONS_ARRIVING_MATCHING_H_
