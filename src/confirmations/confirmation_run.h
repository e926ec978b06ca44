#ifndef QORVSYNC_CONFIRMATIONS_CONFIRMATION_RUN_H_
#define QORVSYNC_CONFIRMATIONS_CONFIRMATION_RUN_H_

#include <QString>
#include <QStringList>
#include <exception>
#include <optional>

#include "confirmations/confirmation_options.h"
#include "confirmations/match_tally.h"
#include "confirmations/pending_qsl.h"
#include "confirmations/text_file_lines.h"
#include "logdb/log_database.h"
#include "logdb/staged_changes.h"
#include "platform/operation_ui.h"

// One run of a Qorv confirmation report over the log: the report's lines are
// read into PendingQsl, and at every "<eor>" the confirmed QSO is looked up in
// each log table of the log set the run started with. A QSO found and not yet
// confirmed is marked (QorvRec, QorvRecDate) and, as the options say, given
// the partner's grid, state, IOTA and county; a record that confirms nothing
// and finds nothing confirmed before goes to the error list.
//
// Fields are found by their whole tag name in any letter case ("<call:",
// not "<CALLSIGN:"), and a record ends at "<EOR>" in any letter case. A
// record without QSO_DATE or TIME_ON, or whose band the band table does not
// hold, is not matched (the buffer is emptied at every record end, so it has
// no date or time window of its own) and goes to the error list with what it
// has, the band as it was read.
//
// Errors (AppError) stop the run at the line where they occur; the rows
// changed before stay changed.
class ConfirmationRun {
 public:
  // Starts a run: QsoCount 0, an empty ErrorList, an empty PendingQsl.
  ConfirmationRun(OperationUi& ui, LogDatabase& database, QString log_set,
                  ConfirmationOptionsReader read_options);

  // Every line in order, with progress i*100/(n-1) (100 for a one-line
  // report). Row changes are grouped into short transactions, committed at
  // least every 100 ms, at the end and before an error leaves the run.
  void RunReportLines(const QStringList& lines);
  // The same over a report file read line by line, so that memory does not
  // grow with the report.
  void RunReportFile(const TextFileLines& file);

  // Matching while the report still arrives: each line as it arrives, while
  // the database holds the row changes back (LogDatabase::HoldBackChanges)
  // until WriteArrived. An error stops the matching; it is kept, and
  // WriteArrived throws it once the changes of the records before it are
  // written, as a run over the saved report would leave them.
  void TakeArrivingLine(const QString& line);
  // The report arrived whole, with `records` records: writes the held-back
  // changes with progress, as RunReportFile writes its own.
  void WriteArrived(StagedChanges& staged, qsizetype records);

  // Reads the fields on one line into PendingQsl; "<eor>" ends the record:
  // MatchConfirmation, then the buffer is emptied.
  void ProcessReportLine(const QString& line);

  // Looks up and updates the QSO of PendingQsl, or appends two error lines.
  void MatchConfirmation();

  // Confirms exactly the row found with the record of `record_lines` (its
  // end marker left out), read into PendingQsl as a run reads it, as a match
  // would (marks, received date, the copies the options ask for); the record
  // ends there. A row confirmed before is left as it is: false, nothing
  // written.
  bool ConfirmRecord(const QStringList& record_lines, const QString& table, const FoundQso& found);

  // How many lines ProcessReportLine was given: when an error stopped the
  // run, the 1-based number of the line it stopped at.
  qsizetype LinesRead() const { return lines_read_; }

  // Lines holding a CALL field: the records offered, matched or not.
  int QsoCount() const { return qso_count_; }
  const QStringList& ErrorList() const { return error_list_; }
  // The 1-based numbers of the lines at which records went to the error list.
  const QList<qsizetype>& UnmatchedLines() const { return unmatched_lines_; }
  // Per log table what the records confirmed, and how many matched nothing.
  const MatchTally& Tally() const { return tally_; }

 private:
  void BeginMatching(qsizetype records);
  bool ConfirmFound(const QString& table, const FoundQso& found);
  const QStringList& LogSetTables();
  void Confirm(const QString& table, const FoundQso& found);
  void AppendErrorLines();

  OperationUi& ui_;
  LogDatabase& database_;
  QString log_set_;
  ConfirmationOptionsReader read_options_;
  // The run keeps the log set it started with, so the walk is read once.
  std::optional<QStringList> tables_;
  int qso_count_ = 0;
  qsizetype lines_read_ = 0;
  QStringList error_list_;
  QList<qsizetype> unmatched_lines_;
  MatchTally tally_;
  // What stopped the matching of an arriving report.
  std::exception_ptr arrival_error_;
  // The record being read, gathered line by line, and the line under
  // examination: the run's own.
  PendingQslRecord PendingQsl;
  QString CurrentLine;
};

#endif  // QORVSYNC_CONFIRMATIONS_CONFIRMATION_RUN_H_
