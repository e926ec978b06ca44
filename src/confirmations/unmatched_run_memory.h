#ifndef QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_
#define QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/text_codec.h"

// The most recent run that left records matching nothing, kept in the
// program's own state (beside the error lists), so that they can be explained
// later even after a download that fetched nothing replaced the saved report.
// One is kept for the Qorv side (download and import) and one for eQSL.

enum class UnmatchedRunKind { kQorvDownload, kQorvImport, kEqslDownload };

struct RememberedRun {
  UnmatchedRunKind kind = UnmatchedRunKind::kQorvDownload;
  QDateTime finished_utc;
  QString source;  // the saved report or the imported file
  // The records of the run that matched nothing, as lines of the file.
  QStringList lines;
  // The records the whole file held; nothing for a file kept before the
  // memory was cut down to the unmatched records (it has every line).
  std::optional<int> records_read;
};

// What a run tells the memory: its error list and the 1-based numbers of the
// lines at which it put records there, in order.
struct UnmatchedOfRun {
  const QStringList& error_list;
  const QList<qsizetype>& lines;
};

// Where the records of a file start and how many there are, read as the
// records of a report are read: every record end after the last line holding
// a header end. Given the file's lines in order.
struct RecordLayout {
  void Take(const QString& line);

  qsizetype header_line = 0;  // 1-based; 0 when no line holds a header end
  int records = 0;

 private:
  qsizetype lines_ = 0;
};

// "Qorv download", "Qorv import", "eQSL download".
QString UnmatchedRunKindName(UnmatchedRunKind kind);

// Keeps the lines of the run's unmatched records (each from the line after
// the record end before it up to its own record end) and the number of
// records the lines hold, when its error list is not empty, so that the file
// does not grow with the report; a run without unmatched records leaves the
// remembered one as it is. `state_folder` ends with "/".
void RememberUnmatchedRun(const QString& state_folder, UnmatchedRunKind kind, const QString& source,
                          const QStringList& lines, const UnmatchedOfRun& run);

// The same with the lines of the file at `source`, read line by line so that
// a big report is never held whole.
void RememberUnmatchedRunOfFile(const QString& state_folder, UnmatchedRunKind kind,
                                const QString& source, const UnmatchedOfRun& run);
// The same for a file whose lines were seen as they arrived, with the layout
// they gave and the encoding they were read in: the file is read once more,
// not three times.
void RememberUnmatchedRunOfArrivedFile(const QString& state_folder, UnmatchedRunKind kind,
                                       const QString& source, const UnmatchedOfRun& run,
                                       const RecordLayout& layout, TextEncoding encoding);

// The remembered eQSL run with `eqsl`, else the Qorv side's; nothing when
// none was kept. A file that is not one of ours counts as none.
std::optional<RememberedRun> RecallUnmatchedRun(const QString& state_folder, bool eqsl);

// The more recent of the two.
std::optional<RememberedRun> RecallLatestUnmatchedRun(const QString& state_folder);

#endif  // QORVSYNC_CONFIRMATIONS_UNMATCHED_RUN_MEMORY_H_
