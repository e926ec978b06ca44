#include "confirmations/report_import.h"

#include "confirmations/run_results.h"
#include "platform/text_codec.h"

bool ImportSavedReport(OperationUi& ui, LogDatabase& database, const QString& log_set,
                       const ConfirmationOptionsReader& read_options,
                       const QString& program_folder) {
  QString path;
  if (!ui.ChooseAdifFile(&path)) return false;
  const QStringList lines = ReadTextFileLines(path);
  ConfirmationRun run(ui, database, log_set, read_options);
  RunSavedReport(run, lines, program_folder, ui);
  return true;
}

void RunSavedReport(ConfirmationRun& run, const QStringList& lines, const QString& program_folder,
                    OperationUi& ui) {
  run.RunReportLines(lines);
  SaveErrorList(run.ErrorList(), program_folder, ui);
  ShowQsoCount(ui, run.QsoCount());
}
