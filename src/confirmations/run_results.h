#ifndef QORVSYNC_CONFIRMATIONS_RUN_RESULTS_H_
#define QORVSYNC_CONFIRMATIONS_RUN_RESULTS_H_

#include <QString>
#include <QStringList>

#include "platform/operation_ui.h"

// The error list of a Qorv run, written beside the program.
inline const QString kQorvErrorFile = QStringLiteral("QorvError.txt");

// When `error_list` holds lines: writes them to `program_folder` +
// "QorvError.txt" (ANSI, CR LF, replacing an earlier file) and opens the file
// in the text editor. An empty list leaves an earlier file as it is.
void SaveErrorList(const QStringList& error_list, const QString& program_folder, OperationUi& ui);

// The count display: "Download QSO: " and the count, on the page's result label.
void ShowQsoCount(OperationUi& ui, int qso_count);

#endif  // QORVSYNC_CONFIRMATIONS_RUN_RESULTS_H_
