#ifndef QORVSYNC_PLATFORM_KILL_POINT_H_
#define QORVSYNC_PLATFORM_KILL_POINT_H_

#include <signal.h>

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// For the kill tests only: with QORVSYNC_STOP_AT=name:n the program stops
// itself (SIGSTOP) the n-th time it passes the point of that name (":n"
// missing: the first time), so that the test can kill it exactly there. A
// stopped process holds every file and lock as a killed one would.
inline void KillPoint(const char* name) {
  static const QList<QByteArray> wanted = qgetenv("QORVSYNC_STOP_AT").split(':');
  static int passed = 0;
  if (wanted.first() != name) return;
  const int at = wanted.size() > 1 ? wanted.at(1).toInt() : 1;
  if (++passed == at) ::raise(SIGSTOP);
}

#endif  // QORVSYNC_PLATFORM_KILL_POINT_H_
