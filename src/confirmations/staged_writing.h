#ifndef QORVSYNC_CONFIRMATIONS_STAGED_WRITING_H_
#define QORVSYNC_CONFIRMATIONS_STAGED_WRITING_H_

#include <exception>

#include "confirmations/confirmation_outcome.h"
#include "confirmations/match_tally.h"
#include "logdb/log_database.h"
#include "logdb/staged_changes.h"
#include "platform/operation_ui.h"

// Writes the row changes a run held back while its reply arrived, each a
// confirmation of `matched`, with the progress (0 to 100) a run over a file
// gives as it goes. Returns `matched` with the confirmations counted as they
// were written: a row the logbook changed meanwhile is left alone and counts
// for nothing. An error leaves as ConfirmationRunError with the counts so
// far, so it never tells of a confirmation that was not written.
MatchTally WriteStagedWithProgress(OperationUi& ui, LogDatabase& database,
                                   const MatchTally& matched, StagedChanges& staged);

// Matches one line of an arriving reply with `match`, unless an error has
// stopped the matching before: the error that stops it is kept in `error`
// (as ConfirmationRunError with the tally as it then stands), to be thrown
// once the changes of the records before it are written.
template <typename Match>
void MatchArrivingLine(std::exception_ptr& error, MatchTally& tally, Match&& match) {
  if (error) return;
  tally.began = true;
  try {
    KeepTallyOnError(tally, match);
  } catch (...) {
    error = std::current_exception();
  }
}

#endif  // QORVSYNC_CONFIRMATIONS_STAGED_WRITING_H_
