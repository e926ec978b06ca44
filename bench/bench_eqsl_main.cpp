// Runs the eQSL benchmark on its own: bench_eqsl.
#include <QCoreApplication>

#include "bench_eqsl.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return RunEqslBenchmark();
}
