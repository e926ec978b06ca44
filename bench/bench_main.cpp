// The benchmarks, one per call so that each has its own peak memory:
//   bench confirmations | eqsl | upload | startup | unmatched
//   bench set-floor DATABASE REPORT LOG_SET   (the scale series' floor)
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
#include "set_based_floor.h"

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
  if (std::strcmp(what, "set-floor") == 0 && argc == 5) {
    const SetFloorResult floor =
        RunSetBasedFloor(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QString::fromLocal8Bit(argv[4]));
    std::printf("FLOOR\t%.4f\t%.4f\t%lld\t%lld\t%lld\n", floor.time.wall, floor.time.cpu,
                static_cast<long long>(floor.records), static_cast<long long>(floor.confirmed),
                static_cast<long long>(floor.unmatched));
    return 0;
  }
  std::fprintf(stderr,
               "usage: bench confirmations|eqsl|upload|startup|unmatched\n"
               "       bench set-floor DATABASE REPORT LOG_SET\n");
  return 2;
}
