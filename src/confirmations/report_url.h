#ifndef QORVSYNC_CONFIRMATIONS_REPORT_URL_H_
#define QORVSYNC_CONFIRMATIONS_REPORT_URL_H_

#include <QDate>
#include <QString>

// What the Qorv report is asked for.
struct ReportQuery {
  QString login;
  QString password;
  bool load_date = false;  // a range of QSO dates instead of "received since"
  QDate start_date;
  QDate end_date;
  QDate qsl_since;
  QString own_call;  // the box's text; trimmed here, left out when empty
};

// The report's address below `service` ("scheme://host[:port]"). The user's
// values are percent-encoded (as Windows-1252 bytes, the code page the
// service has always received them in), so that a "&", "#" or blank in a
// password cannot cut the query; the fixed parts go as written, the
// qso_qsldetail="yes" quotes included. Dates are yyyy-mm-dd.
QString ReportUrl(const QString& service, const ReportQuery& query);

#endif  // QORVSYNC_CONFIRMATIONS_REPORT_URL_H_
