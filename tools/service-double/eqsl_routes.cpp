// eQSL: the inbox page that announces a file, the file itself (only for the
// session that asked for it) and the web login page.
#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>

#include "adif_records.h"
#include "routes.h"

namespace {

constexpr char kLoginFailed[] = "Error: No such Username/Password found";

QByteArray RandomHex(int bytes) {
  QByteArray raw(bytes, '\0');
  for (char& c : raw) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
  return raw.toHex();
}

QByteArray Cookie(const httplib::Request& request, const QByteArray& name) {
  const QByteArray header = QByteArray::fromStdString(request.get_header_value("Cookie"));
  for (const QByteArray& pair : header.split(';')) {
    const qsizetype equals = pair.indexOf('=');
    if (equals > 0 && pair.left(equals).trimmed() == name) return pair.mid(equals + 1).trimmed();
  }
  return {};
}

struct InboxQuery {
  QByteArray received_since, low, high;
};

// Range dates "mm/dd/yyyy", the received-since date "yyyymmdd" (a time may
// follow); all turned into "yyyymmdd".
std::optional<InboxQuery> ReadQuery(const httplib::Request& request, QByteArray* problem) {
  InboxQuery query;
  const auto range_date = [&](const char* name, QByteArray* out) {
    const QDate date = QDate::fromString(QString::fromLatin1(Param(request, name)), "MM/dd/yyyy");
    if (!date.isValid())
      *problem = "Error: Invalid date " + QByteArray(name) + "=" + Param(request, name);
    *out = date.toString("yyyyMMdd").toLatin1();
    return date.isValid();
  };
  if (request.has_param("LimitDateLo") || request.has_param("LimitDateHi")) {
    if (!range_date("LimitDateLo", &query.low) || !range_date("LimitDateHi", &query.high)) {
      return std::nullopt;
    }
  } else if (request.has_param("RcvdSince")) {
    const QByteArray since = Param(request, "RcvdSince");
    const QDate date = QDate::fromString(QString::fromLatin1(since.left(8)), "yyyyMMdd");
    if (!date.isValid()) {
      *problem = "Error: Invalid date RcvdSince=" + since;
      return std::nullopt;
    }
    query.received_since = since.left(8);
  }
  return query;
}

bool Selected(const AdifRecord& record, const InboxQuery& query) {
  const QByteArray qso_date = record.Value("QSO_DATE");
  const QByteArray received = record.Value("QSLRDATE");
  if (!query.low.isEmpty() && (qso_date < query.low || qso_date > query.high)) return false;
  return query.received_since.isEmpty() || received.isEmpty() || received >= query.received_since;
}

// The inbox file: a text header, then one record per line ending in <EOR>.
QByteArray InboxFile(const Account& account, const QList<AdifRecord>& records) {
  QByteArray text = "ADIF 3 Export from eQSL.cc\r\nReceived eQSLs for " + account.login +
                    "\r\nGenerated on " +
                    QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd hh:mm").toLatin1() +
                    " UTC\r\n<PROGRAMID:21>eQSL.cc DownloadInBox\r\n<ADIF_Ver:5>3.1.0\r\n<EOH>\r\n";
  for (const AdifRecord& record : records) {
    for (const AdifField& field : record.fields) text += WriteAdifField(field);
    text += "<EOR>\r\n";
  }
  return text;
}

void InboxHandler(Context& context, const httplib::Request& request, httplib::Response& response) {
  // A ColdFusion-style session: kept when the request brings its cookies.
  QByteArray cfid = Cookie(request, "CFID");
  QByteArray cftoken = Cookie(request, "CFTOKEN");
  if (cfid.isEmpty() || cftoken.isEmpty()) {
    cfid = QByteArray::number(QRandomGenerator::global()->bounded(100000, 999999));
    cftoken = RandomHex(8);
  }
  response.set_header("Set-Cookie", ("CFID=" + cfid + ";path=/").toStdString());
  response.set_header("Set-Cookie", ("CFTOKEN=" + cftoken + ";path=/").toStdString());

  const std::optional<Account> account =
      context.state.FindAccount("eqsl", Param(request, "Username"), Param(request, "Password"));
  if (!account) return SetPage(response, "eQSL.cc DownloadInBox", kLoginFailed);
  QByteArray problem;
  const std::optional<InboxQuery> query = ReadQuery(request, &problem);
  if (!query) return SetPage(response, "eQSL.cc DownloadInBox", problem);
  QList<AdifRecord> selected;
  for (const AdifRecord& record : ParseAdif(context.state.AccountData("eqsl", account->login))) {
    if (Selected(record, *query)) selected.append(record);
  }
  if (selected.isEmpty()) {
    return SetPage(response, "eQSL.cc DownloadInBox",
                   "You have no log entries matching the selected dates.");
  }
  const QByteArray name = SafeFileName(account->login).toLatin1() + RandomHex(8) + ".adi";
  {
    std::lock_guard lock(context.eqsl_mutex);
    context.eqsl_files.insert(name, {cfid, cftoken, InboxFile(*account, selected)});
  }
  SetPage(response, "eQSL.cc DownloadInBox",
          "Your ADIF log file has been built: " + QByteArray::number(selected.size()) +
              " records.\r\n<UL>\r\n<LI><A HREF=\"../downloadedfiles/" + name +
              "\">.ADI file</A>\r\n</UL>");
}

void FileHandler(Context& context, const httplib::Request& request, httplib::Response& response) {
  const QByteArray name = QByteArray::fromStdString(request.matches[1]);
  std::optional<EqslFile> file;
  {
    std::lock_guard lock(context.eqsl_mutex);
    if (context.eqsl_files.contains(name)) file = context.eqsl_files.value(name);
  }
  if (!file) {
    response.status = 404;
    return SetPage(response, "Not Found", "<h1>File not found</h1>");
  }
  if (Cookie(request, "CFID") != file->cfid || Cookie(request, "CFTOKEN") != file->cftoken) {
    response.status = 403;
    return SetPage(response, "Forbidden", "<h1>Error: Your session has expired</h1>");
  }
  SetDownload(context, response, file->content.toStdString(), "text/plain");
}

void LoginPageHandler(Context& context, const httplib::Request& request,
                      httplib::Response& response) {
  const std::optional<Account> account = context.state.FindAccount(
      "eqsl", Param(request, "Callsign"), Param(request, "EnteredPassword"));
  if (!account) return SetPage(response, "eQSL.cc", kLoginFailed);
  SetPage(response, "eQSL.cc", "<h1>Welcome, " + account->login + "</h1>");
}

}  // namespace

void AddEqslRoutes(httplib::Server& server, Context& context, bool tls) {
  server.Get("/qslcard/DownloadInbox.cfm",
             Recorded(context, tls, [&context](const auto& request, auto& response, int) {
               InboxHandler(context, request, response);
             }));
  server.Get("/downloadedfiles/(.*)",
             Recorded(context, tls, [&context](const auto& request, auto& response, int) {
               FileHandler(context, request, response);
             }));
  server.Get("/qslcard/LoginFinish.cfm",
             Recorded(context, tls, [&context](const auto& request, auto& response, int) {
               LoginPageHandler(context, request, response);
             }));
}
