#include "confirmations/report_import.h"

#include "confirmations/run_results.h"
#include "confirmations/unmatched_run_memory.h"
#include "platform/text_codec.h"

ConfirmationOutcome ImportSavedReport(OperationUi& ui, LogDatabase& database,
                                      const QString& log_set,
                                      const ConfirmationOptionsReader& read_options,
                                      const QString& program_folder) {
  QString path;
  if (!ui.ChooseAdifFile(&path)) return {};
  const QStringList lines = ReadTextFileLines(path);
  ConfirmationRun run(ui, database, log_set, read_options);
  return RunSavedReport(run, path, lines, program_folder, ui);
}

ConfirmationOutcome RunSavedReport(ConfirmationRun& run, const QString& path,
                                   const QStringList& lines, const QString& program_folder,
                                   OperationUi& ui) {
  run.RunReportLines(lines);
  SaveErrorList(run.ErrorList(), program_folder, ui);
  RememberUnmatchedRun(program_folder, UnmatchedRunKind::kQorvImport, path, lines, run.ErrorList());
  ShowQsoCount(ui, run.QsoCount());
  return {true, run.QsoCount(), run.Tally(), run.ErrorList(), std::nullopt};
}
