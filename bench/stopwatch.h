#ifndef QORVSYNC_BENCH_STOPWATCH_H_
#define QORVSYNC_BENCH_STOPWATCH_H_

#include <time.h>

#include <QElapsedTimer>

// Wall time and the process's processor time of one run. The machine is
// shared, so the processor time is the steadier of the two.
struct RunTime {
  double wall = 0;
  double cpu = 0;
  double peak_mb = 0;  // the resident peak, where a benchmark measures it
};

class Stopwatch {
 public:
  Stopwatch() : cpu_start_(CpuSeconds()) { wall_.start(); }
  RunTime Elapsed() const { return {wall_.nsecsElapsed() / 1e9, CpuSeconds() - cpu_start_}; }

 private:
  static double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
  }

  QElapsedTimer wall_;
  double cpu_start_;
};

#endif  // QORVSYNC_BENCH_STOPWATCH_H_
