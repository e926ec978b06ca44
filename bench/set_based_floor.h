#ifndef QORVSYNC_BENCH_SET_BASED_FLOOR_H_
#define QORVSYNC_BENCH_SET_BASED_FLOOR_H_

#include <QString>

#include "stopwatch.h"

// What the set-based floor did to the log.
struct SetFloorResult {
  RunTime time;
  qint64 records = 0;
  qint64 confirmed = 0;
  qint64 unmatched = 0;
};

// A Qorv report file matched as a set: the look-up keys of every QSO of the
// log set read once into memory, one pass over the report, and every change
// an update by row id, all in one transaction. It gives the program's
// answers (the first row by row id of the first table that holds the call,
// date and band, a time within 20 minutes and the mode) without copying grid
// or state, and counts the records that find nothing.
SetFloorResult RunSetBasedFloor(const QString& database, const QString& report,
                                const QString& log_set);

#endif  // QORVSYNC_BENCH_SET_BASED_FLOOR_H_
