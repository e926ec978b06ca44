#ifndef QORVSYNC_PLATFORM_DELAY_H_
#define QORVSYNC_PLATFORM_DELAY_H_

#include <QtGlobal>

// Waits `ms` milliseconds of the program clock's tick count while pending
// events (timers, the log poll, clicks, repaints) go on running. The events
// pending on entry run at least once, also for 0. An abandoned operation's
// wait ends at once.
void Delay(quint32 ms);

#endif  // QORVSYNC_PLATFORM_DELAY_H_
