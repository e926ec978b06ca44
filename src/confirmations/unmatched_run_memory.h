#ifndef QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_
#define QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The most recent run that left records matching nothing, kept in the
// program's own state (beside the error lists), so that they can be explained
// later even after a download that fetched nothing replaced the saved report.
// One is kept for the Qorv side (download and import) and one for eQSL.

enum class UnmatchedRunKind { kQorvDownload, kQorvImport, kEqslDownload };

struct RememberedRun {
  UnmatchedRunKind kind = UnmatchedRunKind::kQorvDownload;
  QDateTime finished_utc;
  QString source;  // the saved report or the imported file
  QStringList lines;
};

// "Qorv download", "Qorv import", "eQSL download".
QString UnmatchedRunKindName(UnmatchedRunKind kind);

// Keeps the run's lines when its error list is not empty; a run without
// unmatched records leaves the remembered one as it is. `state_folder` ends
// with "/".
void RememberUnmatchedRun(const QString& state_folder, UnmatchedRunKind kind, const QString& source,
                          const QStringList& lines, const QStringList& error_list);

// The same with the lines of the file at `source`, read line by line so that
// a big report is never held whole.
void RememberUnmatchedRunOfFile(const QString& state_folder, UnmatchedRunKind kind,
                                const QString& source, const QStringList& error_list);

// The remembered eQSL run with `eqsl`, else the Qorv side's; nothing when
// none was kept. A file that is not one of ours counts as none.
std::optional<RememberedRun> RecallUnmatchedRun(const QString& state_folder, bool eqsl);

// The more recent of the two.
std::optional<RememberedRun> RecallLatestUnmatchedRun(const QString& state_folder);

#endif  // QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_
