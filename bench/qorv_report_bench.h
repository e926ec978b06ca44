#ifndef QORVSYNC_BENCH_QORV_REPORT_BENCH_H_
#define QORVSYNC_BENCH_QORV_REPORT_BENCH_H_

#include <QString>
#include <QStringList>

#include "bench_log_set.h"
#include "stopwatch.h"

// A Qorv report as the service writes it (header, one field per line, an
// "<eor>" line per record): about `match_percent` of its records describe
// QSOs of the log set, at times up to 15 minutes off; the rest match nothing.
QStringList MakeQorvReport(const BenchLogSet& logs, int records, int match_percent, quint32 seed);

// The program's confirmation run over the report, on the database at `path`.
RunTime TimeProgramConfirmationRun(const QString& path, const QString& log_set,
                                   const QStringList& report);

// The same work done as plainly as SQLite allows: the report scanned once,
// the program's look-up word for word and one update prepared once per table,
// every change in one transaction.
RunTime TimeBareConfirmationLoop(const QString& path, const QString& log_set,
                                 const QStringList& report);

// What the runs left in the log set's tables, to check that both did the same.
QString ConfirmationFingerprint(const QString& path, const QStringList& tables);

#endif  // QORVSYNC_BENCH_QORV_REPORT_BENCH_H_
