#ifndef QORVSYNC_CONFIRMATIONS_REPORT_DOWNLOAD_H_
#define QORVSYNC_CONFIRMATIONS_REPORT_DOWNLOAD_H_

#include <QDateTime>
#include <QString>
#include <functional>

#include "confirmations/confirmation_options.h"
#include "confirmations/confirmation_outcome.h"
#include "confirmations/report_url.h"
#include "logdb/log_database.h"
#include "platform/operation_ui.h"

// Everything the download works with, taken when the button was pressed.
struct ReportDownload {
  ReportQuery query;
  // The report service's address; called after the credential check, it may
  // throw an error that says which setting is missing.
  std::function<QString()> service_address;
  bool proxy_enable = false;
  QString proxy_host;
  QString proxy_port;
  QString install_path;    // the logbook's folder, ending in "/"
  QString program_folder;  // where "QorvError.txt" goes, ending in "/"
  QString log_set;
  QDateTime start_utc;  // the moment of the press
  QTime since_time;     // the QSL-since date's time of day, kept when it moves
};

inline const QString kQorvReportHeader = QStringLiteral("ARRL Qorv Status Report");

// The Qorv branch of the action button: fetches the report, keeps it as
// "Download/qorvreport.adi" under the logbook's folder, checks its header,
// runs it over the log and writes the error list; the outcome holds the next
// QSL-since date (a range's end, never past the UTC day of the press, at
// `since_time`), which the caller stores. The count display ends every way
// through after the credential check, a failure included. A fetch that fails
// is reported in an error box with its reason; nothing is marked and the date
// stays. The common tail follows a normal end and a failed fetch, not the
// missing-login warning nor the wrong-file box, which the service's own words
// explain (ExplainFailure).
ConfirmationOutcome DownloadConfirmations(OperationUi& ui, LogDatabase& database,
                                          const ReportDownload& download,
                                          const ConfirmationOptionsReader& read_options);

#endif  // QORVSYNC_CONFIRMATIONS_REPORT_DOWNLOAD_H_
