#ifndef QORVSYNC_EQSL_INBOX_RUN_H_
#define QORVSYNC_EQSL_INBOX_RUN_H_

#include <QString>
#include <QStringList>
#include <exception>

#include "confirmations/match_tally.h"
#include "confirmations/pending_qsl.h"
#include "confirmations/text_file_lines.h"
#include "logdb/log_database.h"
#include "logdb/staged_changes.h"
#include "platform/operation_ui.h"

// One eQSL run over the lines of a downloaded inbox file: each line's fields
// (whole tag names, any letter case) go into PendingQsl; a record is complete
// once its call sign, a known band, a mode, a time and a date are all known,
// and is then looked up in every log of the log set and marked as
// eQSL-confirmed (QSLReceQSLcc). "<EOR>" (any letter case) ends a record: one
// that never became complete (a band the band table does not hold, a missing
// field) is unmatched there, and the buffer is emptied. Records that match
// nothing go to the error list unless their call sign is on the ignore list.
//
// The log set's tables are those of the set the run started with, even when
// the logbook switches logs during the run.
class EqslInboxRun {
 public:
  EqslInboxRun(LogDatabase& database, const QString& log_set, QStringList ignore_list,
               OperationUi& ui);

  // Runs ProcessInboxLine on every line, with progress (100 for a one-line
  // file) and pending events let run between lines. Starts from an empty
  // PendingQsl; row changes are committed in short batches.
  void RunInboxLines(const QStringList& lines);
  // The same over an inbox file read line by line, so that memory does not
  // grow with the file.
  void RunInboxFile(const TextFileLines& file);
  // Matching while the inbox file still arrives, as ConfirmationRun does:
  // each line as it arrives while the database holds the row changes back,
  // then WriteArrived once the file has arrived whole, with its `records`.
  void TakeArrivingLine(const QString& line);
  void WriteArrived(StagedChanges& staged, qsizetype records);
  void ProcessInboxLine(const QString& line);
  void MatchEqslConfirmation();

  // Lines that hold "<CALL": records offered, not records matched.
  int QsoCount() const { return qso_count_; }
  // Pairs of lines, "Error" and the detail line.
  const QStringList& ErrorList() const { return error_list_; }
  // The 1-based numbers of the lines at which records went to the error list.
  const QList<qsizetype>& UnmatchedLines() const { return unmatched_lines_; }
  // Per log table what the records confirmed, and how many matched nothing.
  const MatchTally& Tally() const { return tally_; }

 private:
  // The record's mode by the eQSL rules, with the SUBMODE and report read
  // by now.
  void BeginMatching(qsizetype records);
  void ApplyModeRules();
  QString DetailLine() const;

  LogDatabase& database_;
  QStringList tables_;
  QStringList ignore_list_;
  OperationUi& ui_;
  int qso_count_ = 0;
  qsizetype lines_read_ = 0;
  QStringList error_list_;
  QList<qsizetype> unmatched_lines_;
  MatchTally tally_;
  // What stopped the matching of an arriving file.
  std::exception_ptr arrival_error_;
  // The record being read and the line under examination: the run's own, so
  // a run starts from an empty buffer.
  PendingQslRecord PendingQsl;
  QString CurrentLine;
};

// The mode an eQSL record is looked up by, from its MODE (upper case, as the
// run reads it), SUBMODE and RST_RCVD: MFSK and PSK take the SUBMODE when
// there is one (MFSK alone is FT4), an MFSK submode with a report in dB is
// FT4, and CONTESTI is CONTEST.
QString EqslRunMode(const QString& mode, const QString& submode, const QString& rst_rcvd);

#endif  // QORVSYNC_EQSL_INBOX_RUN_H_
