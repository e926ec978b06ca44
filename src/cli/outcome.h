#ifndef QORVSYNC_CLI_OUTCOME_H_
#define QORVSYNC_CLI_OUTCOME_H_

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "cli/console_ui.h"
#include "confirmations/match_tally.h"

// What a command reports on standard output when it ends: in words, or as one
// JSON object.
struct Outcome {
  QString command;  // empty when the arguments named none
  int status = 0;
  QString log_name;
  int records = -1;  // confirmation records offered, -1 when none were read
  QMap<QString, TableTally> tables;
  int unmatched = -1;
  int qsos_sent = -1;
  QStringList files;  // written or changed by the command
  QStringList messages;
  QStringList lines;    // further lines of the text form
  QJsonObject details;  // further members of the JSON form

  // Takes the run's messages and error lists from the console; taking twice
  // adds nothing twice.
  void TakeRun(const ConsoleUi& ui);
  // The confirmation run's tally, when it began matching.
  void TakeTally(const MatchTally& tally);
  // Each message once, however many ways it arrives.
  void AddMessage(const QString& text);
  QJsonObject ToJson() const;
  // Whether the run reached the end of its records with a count of unmatched.
  bool UnmatchedKnown() const;
  QString ToText() const;
};

void PrintOutcome(const Outcome& outcome, bool json, std::FILE* out);

#endif  // QORVSYNC_CLI_OUTCOME_H_
