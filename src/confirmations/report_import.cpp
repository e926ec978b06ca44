#include "confirmations/report_import.h"

#include "confirmations/run_results.h"
#include "confirmations/text_file_lines.h"
#include "confirmations/unmatched_run_memory.h"

ConfirmationOutcome ImportSavedReport(OperationUi& ui, LogDatabase& database,
                                      const QString& log_set,
                                      const ConfirmationOptionsReader& read_options,
                                      const QString& program_folder) {
  QString path;
  if (!ui.ChooseAdifFile(&path)) return {};
  ConfirmationRun run(ui, database, log_set, read_options);
  return RunSavedReport(run, path, program_folder, ui);
}

ConfirmationOutcome RunSavedReport(ConfirmationRun& run, const QString& path,
                                   const QString& program_folder, OperationUi& ui) {
  run.RunReportFile(TextFileLines(path));
  SaveErrorList(run.ErrorList(), program_folder, ui);
  RememberUnmatchedRunOfFile(program_folder, UnmatchedRunKind::kQorvImport, path,
                             {run.ErrorList(), run.UnmatchedLines()});
  ShowQsoCount(ui, run.QsoCount());
  return {true, run.QsoCount(), run.Tally(), run.ErrorList(), std::nullopt};
}
