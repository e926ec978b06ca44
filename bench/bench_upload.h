#ifndef QORVSYNC_BENCH_BENCH_UPLOAD_H_
#define QORVSYNC_BENCH_BENCH_UPLOAD_H_

// The export of `qsos` unsent QSOs into the upload file and their marking as
// sent, timed against a bare SQLite loop doing the same work in the same run.
// Prints QSOs per second of both and their ratio; returns the ratio
// (program time / bare time).
double BenchUpload(int qsos = 100000);

#endif  // QORVSYNC_BENCH_BENCH_UPLOAD_H_
