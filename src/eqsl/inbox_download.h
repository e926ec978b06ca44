#ifndef QORVSYNC_EQSL_INBOX_DOWNLOAD_H_
#define QORVSYNC_EQSL_INBOX_DOWNLOAD_H_

#include <QDateTime>
#include <QString>
#include <functional>

#include "confirmations/confirmation_outcome.h"
#include "eqsl/eqsl_page.h"
#include "logdb/log_database.h"
#include "platform/operation_ui.h"

// What the eQSL download starts with, taken at the press of the button.
struct EqslDownloadSettings {
  QString service;  // "scheme://host[:port]", from [Services] eQSL
  QString user_name;
  QString password;
  QString install_path;    // the logbook's folder, ending with "/"
  QString program_folder;  // "ignore.txt", ending with "/"
  QString state_folder;    // "eQSLccError.txt", ending with "/"
  QString log_set;
  bool proxy_enable = false;
  QString proxy_host;
  QString proxy_port;
  QDateTime start_utc;  // the press of the button
};

inline constexpr char kEqslCredentialError[] = "Error: No such Username/Password found";

// The inbox request: everything received since the picker's date, or the QSO
// date range while "Load from Date" is ticked. User values are percent-encoded;
// range dates always go out as MM/DD/YYYY with "/".
QString EqslInboxUrl(const EqslDownloadSettings& settings, const EqslDates& dates);

// The file name behind the first download link of an inbox page, and whether
// the page has one. The name is what stands before the first double quote
// within 100 characters of the link; empty when no quote comes that soon.
bool EqslLinkedFile(const QString& page_text, QString* file_name);

// The eQSL branch of the action button: asks the service for the inbox, follows
// the page's link to the generated ADIF file, keeps a copy as
// "Download/updateeQSLcc.adi" in the logbook's folder and marks the QSOs it
// confirms. The count of records offered goes to the page's result label on
// every end after the credential check. A request that fails, and an inbox
// page without the link that is not the service's "You have no log entries"
// page, are reported in an error box with the reason (the service's own words
// for a page); nothing is marked and the date stays. The outcome holds the
// next received-since date once the inbox file was run (see FinishInboxRun),
// which the caller stores. The caption is the log name again at every end.
// The common tail follows also a failed request or a page without a link,
// not missing or refused credentials. Errors (files, database, ADIF values)
// propagate after the label is set. `database` is asked for only once the
// inbox file is announced: its lines are matched as they arrive.
ConfirmationOutcome DownloadEqslInbox(const EqslDownloadSettings& settings, const EqslDates& dates,
                                      const std::function<LogDatabase&()>& database,
                                      OperationUi& ui);

#endif  // QORVSYNC_EQSL_INBOX_DOWNLOAD_H_
