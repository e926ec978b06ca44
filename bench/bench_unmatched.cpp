// The records of a report that match nothing, explained as "unmatched" does,
// against the import of the same report.
#include "bench_unmatched.h"

#include <QTemporaryDir>
#include <cstdio>

#include "bench_log_set.h"
#include "bench_support.h"
#include "bench_ui.h"
#include "cli/unmatched_records.h"
#include "qorv_report_bench.h"

namespace {

// The search "unmatched" makes, with its nearest QSOs; the records it lists
// go to the error list beside the database, two lines each as the run's do.
RunTime TimeUnmatched(const QString& path, const QString& log_set, const QStringList& report) {
  BenchUi ui;
  LogDatabase database;
  database.OpenLogDatabase(path);
  const Stopwatch stopwatch;
  int records = 0;
  const QList<UnmatchedRecord> unmatched = FindUnmatchedRecords(
      database, database.LogSetTables(log_set), report, false, {}, ui, &records);
  const RunTime time = stopwatch.Elapsed();
  QStringList lines;
  for (const UnmatchedRecord& record : unmatched)
    lines << QStringLiteral("Error") << record.key.call;
  WriteErrorList(path, lines);
  return time;
}

// Both must find the same number of records matching nothing; their lines
// differ in form.
QString UnmatchedCount(const QString& database) {
  return ErrorListDigest(database).section(u',', 0, 0);
}

}  // namespace

int RunUnmatchedBenchmark() {
  QTemporaryDir folder;
  std::printf("Creating a log set of three logs of %d QSOs...\n", QsosPerLog());
  BenchLogSet logs(folder.path(), QsosPerLog());
  const QStringList report = MakeQorvReport(logs, QsosPerLog(), 60, 7);
  logs.DropQsos();
  const bool same = CompareRuns(
      "unmatched against import", QsosPerLog(),
      [&] { return logs.FreshCopy(QStringLiteral("run")); },
      [&](const QString& database) { return TimeUnmatched(database, logs.LogSet(), report); },
      [&](const QString& database) {
        return TimeProgramConfirmationRun(database, logs.LogSet(), report);
      },
      UnmatchedCount);
  return same ? 0 : 1;
}
