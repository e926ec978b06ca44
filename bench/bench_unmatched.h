#ifndef QORVSYNC_BENCH_BENCH_UNMATCHED_H_
#define QORVSYNC_BENCH_BENCH_UNMATCHED_H_

// "unmatched" over a Qorv report against the import of the same report: the
// records that match nothing, with their nearest QSOs, found within 3 times
// the import's time. Returns the process exit status.
int RunUnmatchedBenchmark();

#endif  // QORVSYNC_BENCH_BENCH_UNMATCHED_H_
