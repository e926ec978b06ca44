#ifndef QORVSYNC_BENCH_BENCH_EQSL_H_
#define QORVSYNC_BENCH_BENCH_EQSL_H_

// The eQSL run on 100,000 inbox records against a log set of three tables of
// 100,000 QSOs, timed beside a bare SQLite loop that does the same lookups and
// updates at its best. Prints records per second and the ratio; returns 0 when
// the run stays within twice the bare loop's time, 1 otherwise.
int RunEqslBenchmark();

#endif  // QORVSYNC_BENCH_BENCH_EQSL_H_
