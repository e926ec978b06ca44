#include "confirmations/run_results.h"

#include "platform/text_codec.h"

void SaveErrorList(const QStringList& error_list, const QString& program_folder, OperationUi& ui) {
  if (error_list.isEmpty()) return;
  const QString path = program_folder + kQorvErrorFile;
  WriteTextFileLines(path, error_list);
  ui.ShowTextFile(path);
}

void ShowQsoCount(OperationUi& ui, int qso_count) {
  ui.SetResult(ResultLabel::kQorvDownload, QStringLiteral("Download QSO: %1").arg(qso_count));
}
