#ifndef QORVSYNC_PLATFORM_CLOCK_H_
#define QORVSYNC_PLATFORM_CLOCK_H_

#include <QDateTime>

// The time sources of the program, replaceable in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime NowUtc() const = 0;
  virtual QDateTime NowLocal() const = 0;
  // Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual quint32 TickCount() const = 0;
};

class SystemClock : public Clock {
 public:
  QDateTime NowUtc() const override;
  QDateTime NowLocal() const override;
  quint32 TickCount() const override;
};

// The clock the program uses; tests may put another in its place.
Clock& ProgramClock();
void SetProgramClock(Clock* clock);  // nullptr restores the system clock

#endif  // QORVSYNC_PLATFORM_CLOCK_H_
