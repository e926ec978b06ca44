// The benchmarks: each measured run against a bare SQLite loop in the same
// run. Not part of the test command.
#include <QCoreApplication>

#include "bench_upload.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const double upload = BenchUpload();
  return upload <= 2.0 ? 0 : 1;
}
