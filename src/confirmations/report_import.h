#ifndef QORVSYNC_CONFIRMATIONS_REPORT_IMPORT_H_
#define QORVSYNC_CONFIRMATIONS_REPORT_IMPORT_H_

#include <QString>

#include "confirmations/confirmation_options.h"
#include "confirmations/confirmation_outcome.h"
#include "confirmations/confirmation_run.h"
#include "logdb/log_database.h"
#include "platform/operation_ui.h"

// "Load adif file": the report file the user picks is run over the log as a
// download would be, without a look at its content; then the error list and
// the count display. The common tail (the logbook shown the changes) follows
// a normal end, not a cancelled dialog (nothing changed). Errors (the file,
// the run) travel to the caller.
ConfirmationOutcome ImportSavedReport(OperationUi& ui, LogDatabase& database,
                                      const QString& log_set,
                                      const ConfirmationOptionsReader& read_options,
                                      const QString& program_folder);

// What ImportSavedReport does with the file it was given: the run over its
// lines, read one at a time so that memory does not grow with the report,
// then the error list, the remembered unmatched run (of `path`) and the count
// display. Errors travel to the caller, the run telling at which line it
// stopped.
ConfirmationOutcome RunSavedReport(ConfirmationRun& run, const QString& path,
                                   const QString& program_folder, OperationUi& ui);

#endif  // QORVSYNC_CONFIRMATIONS_REPORT_IMPORT_H_
