// The benchmarks, one per call so that each has its own peak memory:
//   bench confirmations | eqsl | upload | startup | unmatched
// bench/run.sh runs them all and prints the table. Not part of the tests.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

#include "bench_confirmations.h"
#include "bench_eqsl.h"
#include "bench_startup.h"
#include "bench_unmatched.h"
#include "bench_upload.h"

int main(int argc, char** argv) {
  QElapsedTimer since_start;
  since_start.start();
  const char* what = argc > 1 ? argv[1] : "";
  QApplication app(argc, argv);
  if (std::strcmp(what, "confirmations") == 0) return RunConfirmationsBenchmark();
  if (std::strcmp(what, "upload") == 0) return RunUploadBenchmark();
  if (std::strcmp(what, "eqsl") == 0) return RunEqslBenchmark();
  if (std::strcmp(what, "startup") == 0) return RunStartupBenchmark(since_start);
  if (std::strcmp(what, "unmatched") == 0) return RunUnmatchedBenchmark();
  std::fprintf(stderr, "usage: bench confirmations|eqsl|upload|startup|unmatched\n");
  return 2;
}
