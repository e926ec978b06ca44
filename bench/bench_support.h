#ifndef QORVSYNC_BENCH_BENCH_SUPPORT_H_
#define QORVSYNC_BENCH_BENCH_SUPPORT_H_

// What every benchmark reports, gathered into one table by bench/run.sh.

// Starts a new peak of resident memory from what the process holds now, so
// that a run's peak is not the peak of building its test data.
void ResetPeakMemory();
// The highest resident memory since the start or the last reset, in MB.
double PeakMemoryMb();

// One row of the table on stdout as "ROW<TAB>name<TAB>records<TAB>program
// seconds<TAB>bare loop seconds (0: none)<TAB>peak MB".
void PrintRow(const char* name, int records, double program_seconds, double bare_seconds,
              double peak_mb);

#endif  // QORVSYNC_BENCH_BENCH_SUPPORT_H_
