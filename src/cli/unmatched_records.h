#ifndef QORVSYNC_CLI_UNMATCHED_RECORDS_H_
#define QORVSYNC_CLI_UNMATCHED_RECORDS_H_

#include <QList>
#include <QStringList>

#include "cli/nearest_qsos.h"
#include "confirmations/report_records.h"
#include "logdb/log_database.h"
#include "platform/operation_ui.h"

// A record that matches no QSO of the log set, and the QSOs near it.
struct UnmatchedRecord {
  ReportRecord record;
  RecordKey key;
  QList<NearQso> nearest;
};

// The records of a report (or, with `eqsl`, of an inbox, read by the eQSL
// run's rules and without the calls of `ignore_list`) that the run's own
// look-up matches with no QSO of `tables` now, each with its nearest QSOs.
// Progress goes to `ui` as the runs show it; `records` gets the number of
// records read.
QList<UnmatchedRecord> FindUnmatchedRecords(LogDatabase& database, const QStringList& tables,
                                            const QStringList& lines, bool eqsl,
                                            const QStringList& ignore_list, OperationUi& ui,
                                            int* records);

#endif  // QORVSYNC_CLI_UNMATCHED_RECORDS_H_
