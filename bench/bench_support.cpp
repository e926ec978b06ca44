#include "bench_support.h"

#include <malloc.h>
#include <sys/resource.h>

#include <QFile>
#include <cstdio>

void ResetPeakMemory() {
  // Memory the benchmark freed after building its data goes back to the
  // system first, so that it does not count as the run's.
  malloc_trim(0);
  // "5" resets the peak (VmHWM) to the current size.
  QFile clear_refs(QStringLiteral("/proc/self/clear_refs"));
  if (clear_refs.open(QIODevice::WriteOnly)) clear_refs.write("5");
}

double PeakMemoryMb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void PrintRow(const char* name, int records, double program_seconds, double bare_seconds,
              double peak_mb) {
  std::printf("ROW\t%s\t%d\t%.4f\t%.4f\t%.1f\n", name, records, program_seconds, bare_seconds,
              peak_mb);
  std::fflush(stdout);
}
