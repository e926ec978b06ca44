#ifndef QORVSYNC_CONFIRMATIONS_CONFIRMATION_OUTCOME_H_
#define QORVSYNC_CONFIRMATIONS_CONFIRMATION_OUTCOME_H_

#include <QDateTime>
#include <QStringList>
#include <optional>

#include "confirmations/match_tally.h"
#include "platform/app_error.h"

// How a confirmation download or import ended, for its caller to show and
// store: the window its labels and date box, the command line its words.
struct ConfirmationOutcome {
  // The action goes on to its common tail (a normal end, or a failed fetch).
  bool common_tail = false;
  int records = 0;  // records offered, matched or not
  MatchTally tally;
  QStringList error_list;  // the unmatched records, two lines each
  // The next download's since-date, when this run moved it. The caller
  // stores it right after the run: the date moves last.
  std::optional<QDateTime> since;
};

// An error that stopped a confirmation run, with what the run had matched
// by then: the rows changed before stay changed, and still count.
class ConfirmationRunError : public AppError {
 public:
  ConfirmationRunError(const QString& message, MatchTally tally)
      : AppError(message), tally_(std::move(tally)) {}
  const MatchTally& Tally() const { return tally_; }

 private:
  MatchTally tally_;
};

// Runs `work`; an error that stops it leaves with `tally` as it then stands.
template <typename Work>
void KeepTallyOnError(const MatchTally& tally, Work&& work) {
  try {
    work();
  } catch (const ConfirmationRunError&) {
    throw;
  } catch (const AppError& error) {
    throw ConfirmationRunError(error.Message(), tally);
  }
}

#endif  // QORVSYNC_CONFIRMATIONS_CONFIRMATION_OUTCOME_H_
