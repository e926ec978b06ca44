#include "bench_support.h"

#include <malloc.h>
#include <sys/resource.h>

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

int PositiveFromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}

// More rounds steady the best time on a busy machine.
int Rounds() { return PositiveFromEnvironment("BENCH_ROUNDS", 5); }

RunTime Best(const RunTime& a, const RunTime& b) {
  return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu), std::max(a.peak_mb, b.peak_mb)};
}


QString ErrorListPath(const QString& database) { return database + QStringLiteral(".errors"); }

}  // namespace

int QsosPerLog() { return PositiveFromEnvironment("BENCH_QSOS", 100000); }

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

void PrintRow(const char* name, int records, const RunTime& program, const RunTime& bare) {
  std::printf("ROW\t%s\t%d\t%.4f\t%.4f\t%.1f\t%.4f\t%.4f\n", name, records, program.wall, bare.wall,
              program.peak_mb, program.cpu, bare.cpu);
  std::fflush(stdout);
}

bool CompareRuns(const char* name, int records, const std::function<QString()>& fresh_copy,
                 const TimedRun& program, const TimedRun& bare,
                 const std::function<QString(const QString& database)>& result) {
  constexpr double kUnset = 1e30;
  RunTime best_program{kUnset, kUnset, 0};
  RunTime best_bare{kUnset, kUnset, 0};
  QString expected;
  bool same = true;
  const auto run_one = [&](const char* who, const TimedRun& run, RunTime& best, bool is_program) {
    const QString database = fresh_copy();
    ResetPeakMemory();
    RunTime time = run(database);
    if (is_program) time.peak_mb = PeakMemoryMb();
    best = Best(best, time);
    const QString left = result(database);
    std::printf("  %-9s %8.3f s wall %8.3f s cpu   %s\n", who, time.wall, time.cpu,
                qPrintable(left));
    std::fflush(stdout);
    if (expected.isNull()) expected = left;
    same = same && left == expected;
  };
  std::printf("%s, %d records:\n", name, records);
  for (int round = 0, rounds = Rounds(); round < rounds; ++round) {
    if (round % 2 == 0) {
      run_one("bare loop", bare, best_bare, false);
      run_one("program", program, best_program, true);
    } else {
      run_one("program", program, best_program, true);
      run_one("bare loop", bare, best_bare, false);
    }
  }
  std::printf(
      "  best: program %.3f s (%.0f/s), bare loop %.3f s (%.0f/s); ratio %.2f wall, "
      "%.2f cpu\n",
      best_program.wall, records / best_program.wall, best_bare.wall, records / best_bare.wall,
      best_program.wall / best_bare.wall, best_program.cpu / best_bare.cpu);
  if (!same) {
    std::fprintf(stderr,
                 "FAILED: %s: the program and its bare loop changed different rows (see above)\n",
                 name);
  }
  PrintRow(name, records, best_program, best_bare);
  return same;
}

void WriteErrorList(const QString& database, const QStringList& lines) {
  QFile file(ErrorListPath(database));
  if (!file.open(QIODevice::WriteOnly) || file.write(lines.join(u'\n').toUtf8()) < 0) {
    throw std::runtime_error("the error list could not be written");
  }
}

QString ErrorListDigest(const QString& database) {
  QFile file(ErrorListPath(database));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("no error list");
  const QByteArray text = file.readAll();
  // Two lines for each record: "Error" and what the record held.
  return QStringLiteral("%1 unmatched, %2")
      .arg(text.isEmpty() ? 0 : (text.count('\n') + 1) / 2)
      .arg(QString::fromLatin1(
          QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(16)));
}
