// The Qorv confirmation run against the plainest loop that does the same
// work. Each measured run is one entry of kRuns.
#include "bench_confirmations.h"

#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "bench_log_set.h"
#include "bench_support.h"
#include "qorv_report_bench.h"

namespace {

struct BenchSettings {
  int qsos_per_log = 100000;
  int records = 100000;
};

// One comparison: the program's run and the bare loop on fresh copies of the
// same log set; both must leave the same log behind.
struct MeasuredRun {
  const char* name;
  int (*units)(const BenchSettings&);  // records, QSOs... per run
  std::function<bool(BenchLogSet&, const BenchSettings&, RunTime* program, RunTime* bare)> run;
};

bool QorvConfirmations(BenchLogSet& logs, const BenchSettings& settings, RunTime* program,
                       RunTime* bare) {
  const QStringList report = MakeQorvReport(logs, settings.records, 60, 7);
  logs.DropQsos();
  const QString bare_path = logs.FreshCopy(QStringLiteral("bare"));
  const QString program_path = logs.FreshCopy(QStringLiteral("program"));
  *bare = TimeBareConfirmationLoop(bare_path, logs.LogSet(), report);
  ResetPeakMemory();
  *program = TimeProgramConfirmationRun(program_path, logs.LogSet(), report);
  program->peak_mb = PeakMemoryMb();
  const QString bare_result = ConfirmationFingerprint(bare_path, logs.Tables());
  const QString program_result = ConfirmationFingerprint(program_path, logs.Tables());
  std::printf("  log after the run: program %s, bare loop %s\n", qPrintable(program_result),
              qPrintable(bare_result));
  return bare_result == program_result;
}

const MeasuredRun kRuns[] = {
    {"Qorv confirmation report", [](const BenchSettings& s) { return s.records; },
     QorvConfirmations},
};

}  // namespace

int RunConfirmationsBenchmark() {
  const BenchSettings settings;
  QTemporaryDir folder;
  std::printf("Creating a log set of three logs of %d QSOs...\n", settings.qsos_per_log);
  BenchLogSet logs(folder.path(), settings.qsos_per_log);

  bool all_good = true;
  for (const MeasuredRun& measured : kRuns) {
    std::printf("%s:\n", measured.name);
    RunTime program;
    RunTime bare;
    const bool same = measured.run(logs, settings, &program, &bare);
    const int units = measured.units(settings);
    std::printf("            %10s %12s %10s %12s\n", "wall s", "per second", "cpu s", "per second");
    for (const auto& [label, time] :
         {std::pair{"program", program}, std::pair{"bare loop", bare}}) {
      std::printf("  %-9s %10.3f %12.0f %10.3f %12.0f\n", label, time.wall, units / time.wall,
                  time.cpu, units / time.cpu);
    }
    std::printf("  ratio     %10.2f %12s %10.2f%s\n", program.wall / bare.wall, "",
                program.cpu / bare.cpu, same ? "" : "  (DIFFERENT RESULTS)");
    PrintRow(measured.name, units, program.wall, bare.wall, program.peak_mb);
    all_good = all_good && same && program.wall <= 2 * bare.wall;
  }
  return all_good ? 0 : 1;
}
