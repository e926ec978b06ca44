#include "platform/delay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "platform/clock.h"
#include "platform/operation_abandon.h"

namespace {

// A clock put in place by a test is looked at again at least this often.
constexpr quint32 kLongestSleepMs = 50;

}  // namespace

void Delay(quint32 ms) {
  const quint32 start = ProgramClock().TickCount();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  for (;;) {
    if (AbandonRequested()) return;
    const quint32 elapsed = ProgramClock().TickCount() - start;
    if (elapsed >= ms) return;
    const quint32 step = std::min(ms - elapsed, kLongestSleepMs);
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(step), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    // An application that is quitting ends every loop at once: sleep instead.
    if (loop.exec() != 0) QThread::msleep(step);
  }
}
