#ifndef QORVSYNC_BENCH_BENCH_CONFIRMATIONS_H_
#define QORVSYNC_BENCH_BENCH_CONFIRMATIONS_H_

// The Qorv confirmation run of a 100,000-record report over a log set of
// three logs of 100,000 QSOs, beside a bare SQLite loop doing the same work.
// Prints the details and the row; returns 0 when both left the same log and
// the run took at most twice the bare loop's time.
int RunConfirmationsBenchmark();

#endif  // QORVSYNC_BENCH_BENCH_CONFIRMATIONS_H_
