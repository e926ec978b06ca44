#ifndef QORVSYNC_BENCH_BENCH_STARTUP_H_
#define QORVSYNC_BENCH_BENCH_STARTUP_H_

#include <QElapsedTimer>

// The program's start as main() does it (visual style, the main window with
// its real start-up, show) against the installation that the registry of
// XDG_CONFIG_HOME names, timed from `since_process_start` (started at the top
// of main) to the first paint of the shown window. Prints the row; ends the
// process with 0 when no start-up error was shown (bench/run.sh holds the
// time target).
int RunStartupBenchmark(const QElapsedTimer& since_process_start);

#endif  // QORVSYNC_BENCH_BENCH_STARTUP_H_
