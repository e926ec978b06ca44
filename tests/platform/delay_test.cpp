#include "platform/delay.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QTimer>

#include "platform/clock.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The system's tick count shifted so that it wraps during the test.
class WrappingClock : public SystemClock {
 public:
  quint32 TickCount() const override { return SystemClock::TickCount() - offset_; }
  quint32 offset_ = SystemClock().TickCount() + 100;  // wraps 100 ms from now
};

TEST(Delay, ZeroRunsThePendingEventsOnce) {
  int runs = 0;
  QTimer::singleShot(0, [&] { ++runs; });
  Delay(0);
  EXPECT_EQ(runs, 1);
}

TEST(Delay, WaitsWhileEventsRunWithoutBurningACore) {
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  WrappingClock clock;
  SetProgramClock(&clock);
  QElapsedTimer wall;
  wall.start();
  const double cpu_before = CpuSeconds();
  Delay(300);
  const qint64 waited = wall.elapsed();
  const double cpu = CpuSeconds() - cpu_before;
  SetProgramClock(nullptr);
  EXPECT_GE(waited, 299);  // whole milliseconds of the tick count
  EXPECT_LT(waited, 2000);
  EXPECT_GE(ticks, 5);
  EXPECT_LT(cpu, 0.1);
}

}  // namespace
