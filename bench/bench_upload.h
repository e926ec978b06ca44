#ifndef QORVSYNC_BENCH_BENCH_UPLOAD_H_
#define QORVSYNC_BENCH_BENCH_UPLOAD_H_

// The export of 100,000 unsent QSOs of a log set of three logs into the upload
// file and their marking as sent, beside a bare SQLite loop doing the same
// work. Prints the details and the row; returns 0 when both wrote the same
// records and marked the same rows.
int RunUploadBenchmark();

#endif  // QORVSYNC_BENCH_BENCH_UPLOAD_H_
