#ifndef QORVSYNC_CONFIRMATIONS_MATCH_TALLY_H_
#define QORVSYNC_CONFIRMATIONS_MATCH_TALLY_H_

#include <QMap>
#include <QString>

// Confirmations found in one log table during a run.
struct TableTally {
  int confirmed = 0;
  int already_confirmed = 0;
};

// What a confirmation run's records came to, kept by the run as it matches.
struct MatchTally {
  bool began = false;  // the run began matching: only then are the counts facts
  QMap<QString, TableTally> tables;
  int unmatched = 0;

  void Confirmed(const QString& table) {
    began = true;
    ++tables[table].confirmed;
  }
  void AlreadyConfirmed(const QString& table) {
    began = true;
    ++tables[table].already_confirmed;
  }
  void Unmatched() {
    began = true;
    ++unmatched;
  }
};

#endif  // QORVSYNC_CONFIRMATIONS_MATCH_TALLY_H_
