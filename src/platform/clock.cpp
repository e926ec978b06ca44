#include "platform/clock.h"

#include <chrono>

namespace {

Clock* replacement = nullptr;

}  // namespace

QDateTime SystemClock::NowUtc() const { return QDateTime::currentDateTimeUtc(); }

QDateTime SystemClock::NowLocal() const { return QDateTime::currentDateTime(); }

quint32 SystemClock::TickCount() const {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<quint32>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}

Clock& ProgramClock() {
  static SystemClock system_clock;
  return replacement != nullptr ? *replacement : system_clock;
}

void SetProgramClock(Clock* clock) { replacement = clock; }
