#ifndef QORVSYNC_BENCH_BENCH_SUPPORT_H_
#define QORVSYNC_BENCH_BENCH_SUPPORT_H_

#include <QString>
#include <QStringList>
#include <functional>

#include "stopwatch.h"

// What every benchmark reports, gathered into one table by bench/run.sh.

// Starts a new peak of resident memory from what the process holds now, so
// that a run's peak is not the peak of building its test data.
void ResetPeakMemory();
// The highest resident memory since the start or the last reset, in MB.
double PeakMemoryMb();

// One row of the table on stdout as "ROW<TAB>name<TAB>records<TAB>program
// seconds<TAB>bare loop seconds (0: none)<TAB>peak MB<TAB>program processor
// seconds<TAB>bare loop processor seconds".
void PrintRow(const char* name, int records, const RunTime& program, const RunTime& bare);

// QSOs in each of the three logs, and records in each report: 100,000, or
// BENCH_QSOS for smaller runs (profiling under callgrind).
int QsosPerLog();

// The program's run or its bare loop, on the database at the given path (a
// fresh copy of the same log for each run).
using TimedRun = std::function<RunTime(const QString& database)>;

// The program against its bare loop: `rounds` rounds, the two taking turns at
// going first so that both meet the same state of the machine, each run on a
// fresh copy made by `fresh_copy`. After every run `result` describes what
// the run left in its copy; every run of either must leave the same. Prints
// the best times of both and the table row; returns false, saying so loudly,
// when the runs left different logs. The peak memory is the program's.
bool CompareRuns(const char* name, int records, const std::function<QString()>& fresh_copy,
                 const TimedRun& program, const TimedRun& bare,
                 const std::function<QString(const QString& database)>& result);

// The unmatched records' lines of a run, kept beside its database (written
// after the run's time is taken), and a short digest of them for `result`, so
// that the program and its bare loop are held to the same list.
void WriteErrorList(const QString& database, const QStringList& lines);
QString ErrorListDigest(const QString& database);

#endif  // QORVSYNC_BENCH_BENCH_SUPPORT_H_
