#include "confirmations/report_url.h"

#include "platform/text_codec.h"

namespace {

QString Encoded(const QString& value) {
  return QString::fromLatin1(ToAnsi(value).toPercentEncoding());
}

QString IsoDate(const QDate& date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

}  // namespace

QString ReportUrl(const QString& service, const ReportQuery& query) {
  QString url = service + QStringLiteral("/qorvuser/qorvreport.adi?login=") + Encoded(query.login) +
                QStringLiteral("&password=") + Encoded(query.password) +
                QStringLiteral("&qso_query=1&qso_qsldetail=\"yes\"");
  if (query.load_date) {
    url += QStringLiteral("&qso_startdate=") + IsoDate(query.start_date) +
           QStringLiteral("&qso_enddate=") + IsoDate(query.end_date);
  } else {
    url += QStringLiteral("&qso_qslsince=") + IsoDate(query.qsl_since);
  }
  if (!query.own_call.isEmpty()) {
    url += QStringLiteral("&qso_owncall=") + Encoded(query.own_call.trimmed());
  }
  return url;
}
