#ifndef QORVSYNC_SESSION_DOWNLOAD_SETTINGS_H_
#define QORVSYNC_SESSION_DOWNLOAD_SETTINGS_H_

#include <QDateTime>

#include "confirmations/report_download.h"
#include "eqsl/inbox_download.h"
#include "session/configuration.h"

// What the window and the command line both hand a download: the logbook's
// folders, log set, credentials, proxy and service address from the
// configuration, and the moment the action started. `config` must outlive
// the returned Qorv download (its service address is read on demand).
ReportDownload QorvReportDownload(const Configuration& config, const ReportQuery& query,
                                  const QDateTime& start_utc);
EqslDownloadSettings EqslSettings(const Configuration& config, const QDateTime& start_utc);

#endif  // QORVSYNC_SESSION_DOWNLOAD_SETTINGS_H_
