// The Qorv confirmation run against the plainest loop that does the same work.
#include "bench_confirmations.h"

#include <QTemporaryDir>
#include <cstdio>

#include "bench_log_set.h"
#include "bench_support.h"
#include "qorv_report_bench.h"

namespace {}  // namespace

int RunConfirmationsBenchmark() {
  QTemporaryDir folder;
  std::printf("Creating a log set of three logs of %d QSOs...\n", QsosPerLog());
  BenchLogSet logs(folder.path(), QsosPerLog());
  const QStringList report = MakeQorvReport(logs, QsosPerLog(), 60, 7);
  logs.DropQsos();
  const bool same = CompareRuns(
      "Qorv confirmation report", QsosPerLog(),
      [&] { return logs.FreshCopy(QStringLiteral("run")); },
      [&](const QString& database) {
        return TimeProgramConfirmationRun(database, logs.LogSet(), report);
      },
      [&](const QString& database) {
        return TimeBareConfirmationLoop(database, logs.LogSet(), report);
      },
      [&](const QString& database) { return ConfirmationFingerprint(database, logs.Tables()); });
  return same ? 0 : 1;
}
