// Qorv: the confirmation report, the web login page and the signed-log upload.
#include <QDate>
#include <QDateTime>

#include "adif_records.h"
#include "multipart.h"
#include "platform/gzip.h"
#include "qorv_held_qsos.h"
#include "routes.h"
#include "signed_log.h"

namespace {

constexpr char kLoginFailed[] = "<b>Username/password incorrect</b>";

// "yyyy-mm-dd" as "yyyymmdd" (the form of ADIF dates), or nothing.
std::optional<QByteArray> ReportDate(const QByteArray& text) {
  const QDate date = QDate::fromString(QString::fromLatin1(text), "yyyy-MM-dd");
  if (!date.isValid()) return std::nullopt;
  return date.toString("yyyyMMdd").toLatin1();
}

struct ReportQuery {
  QByteArray qsl_since, start, end, owncall;
  QByteArray description;
};

std::optional<ReportQuery> ReadQuery(const httplib::Request& request, QByteArray* problem) {
  ReportQuery query;
  query.description = "    QSL ONLY: YES\n";
  const auto date = [&](const char* name, QByteArray* out) {
    if (!request.has_param(name)) return true;
    const std::optional<QByteArray> value = ReportDate(Param(request, name));
    if (!value) {
      *problem = "Invalid date for " + QByteArray(name) + ": " + Param(request, name);
      return false;
    }
    *out = *value;
    query.description += "    " + QByteArray(name).toUpper() + ": " + Param(request, name) + "\n";
    return true;
  };
  if (!date("qso_qslsince", &query.qsl_since) || !date("qso_startdate", &query.start) ||
      !date("qso_enddate", &query.end)) {
    return std::nullopt;
  }
  query.owncall = Param(request, "qso_owncall").trimmed();
  if (!query.owncall.isEmpty()) query.description += "    OWNCALL: " + query.owncall + "\n";
  return query;
}

bool Selected(const AdifRecord& record, const ReportQuery& query) {
  const QByteArray qsl_date = record.Value("QSLRDATE");
  const QByteArray qso_date = record.Value("QSO_DATE");
  if (!query.qsl_since.isEmpty() && (qsl_date.isEmpty() || qsl_date < query.qsl_since)) {
    return false;
  }
  if (!query.start.isEmpty() && qso_date < query.start) return false;
  if (!query.end.isEmpty() && qso_date > query.end) return false;
  return query.owncall.isEmpty() ||
         record.Value("STATION_CALLSIGN").compare(query.owncall, Qt::CaseInsensitive) == 0;
}

// The report: a text header, then each confirmation one field per line,
// closed by an "<eor>" line.
QByteArray Report(const Account& account, const ReportQuery& query,
                  const QList<AdifRecord>& records) {
  QByteArray body;
  for (const AdifRecord& record : records) {
    for (const AdifField& field : record.fields) body += WriteAdifField(field) + "\n";
    body += "<eor>\n\n";
  }
  const QByteArray count = QByteArray::number(records.size());
  return "ARRL Qorv Status Report\nGenerated at " +
         QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd hh:mm:ss").toLatin1() + "\nfor " +
         account.login + "\nQuery:\n" + query.description + "\n<PROGRAMID:4>Qorv\n" +
         "<APP_Qorv_NUMREC:" + QByteArray::number(count.size()) + ">" + count + "\n\n<eoh>\n\n" +
         body;
}

void ReportHandler(Context& context, const httplib::Request& request, httplib::Response& response) {
  const std::optional<Account> account =
      context.state.FindAccount("qorv", Param(request, "login"), Param(request, "password"));
  if (!account) return SetPage(response, "Qorv", kLoginFailed);
  if (Param(request, "qso_query") != "1") {
    return SetPage(response, "Qorv", "<b>No query given (qso_query=1)</b>");
  }
  QByteArray problem;
  const std::optional<ReportQuery> query = ReadQuery(request, &problem);
  if (!query) return SetPage(response, "Qorv", "<b>" + problem + "</b>");
  QList<AdifRecord> selected;
  const QList<AdifRecord> served =
      Param(request, "qso_qsl") == "no"
          ? HeldQsoRecords(context.state)
          : ParseAdif(context.state.AccountData("qorv", account->login));
  for (const AdifRecord& record : served) {
    if (Selected(record, *query)) selected.append(record);
  }
  SetDownload(context, response, Report(*account, *query, selected).toStdString(),
              "application/x-arrl-adif");
}

void LoginPageHandler(Context& context, const httplib::Request& request,
                      httplib::Response& response) {
  const std::optional<Account> account =
      context.state.FindAccount("qorv", Param(request, "login"), Param(request, "password"));
  if (!account) return SetPage(response, "Qorv", kLoginFailed);
  SetPage(response, "Qorv", "<h1>Welcome, " + account->login + "</h1>");
}

void Reject(httplib::Response& response, const QByteArray& reason) {
  SetPage(response, "Qorv upload",
          "<!-- .UPL.  rejected -->\r\n<p>Upload rejected: " + reason + "</p>");
}

// The contacts of an uploaded signed file: the TQSL double's signed log (its
// ADIF records), or real TQSL's gzip text of tagged records (those of the type
// tCONTACT). Anything else, or a file without a whole contact, gives nothing.
struct UploadedLog {
  QList<AdifRecord> contacts;
  QByteArray adif;  // the TQSL double's ADIF, empty for real TQSL's file
};

std::optional<UploadedLog> ReadUploadedLog(const QByteArray& tq8, QByteArray* reason) {
  QString error;
  UploadedLog uploaded;
  QList<AdifRecord>& contacts = uploaded.contacts;
  if (const std::optional<SignedLog> log = ReadSignedLog(tq8, &error)) {
    uploaded.adif = log->adif;
    contacts = ParseAdif(log->adif);
  } else if (const std::optional<QByteArray> text = Gunzip(tq8)) {
    for (const AdifRecord& record : ParseAdif(*text)) {
      if (record.Value("REC_TYPE").compare("tCONTACT", Qt::CaseInsensitive) == 0) {
        contacts.append(record);
      }
    }
  } else {
    *reason = "the file is not a signed log (" + error.toUtf8() + ")";
    return std::nullopt;
  }
  if (contacts.isEmpty()) {
    *reason = "the signed log holds no contacts";
    return std::nullopt;
  }
  for (const AdifRecord& contact : contacts) {
    for (const char* field : {"CALL", "QSO_DATE", "BAND", "MODE"}) {
      if (contact.Value(field).isEmpty()) {
        *reason = "a contact without " + QByteArray(field);
        return std::nullopt;
      }
    }
  }
  return uploaded;
}

// One line per contact: call, date, time, band, mode, TAB-separated.
QByteArray ContactList(const QList<AdifRecord>& contacts) {
  QByteArray list;
  for (const AdifRecord& contact : contacts) {
    const QByteArray time =
        contact.Value("QSO_TIME").isEmpty() ? contact.Value("TIME_ON") : contact.Value("QSO_TIME");
    list += contact.Value("CALL") + '\t' + contact.Value("QSO_DATE") + '\t' + time + '\t' +
            contact.Value("BAND") + '\t' + contact.Value("MODE") + '\n';
  }
  return list;
}

void UploadHandler(Context& context, const httplib::Request& request, httplib::Response& response,
                   int number) {
  const std::optional<Account> account =
      context.state.FindAccount("qorv", Param(request, "login"), Param(request, "password"));
  if (!account) return Reject(response, "Username/password incorrect");
  const std::optional<QByteArray> boundary = MultipartBoundary(SentContentType(request));
  if (!boundary) return Reject(response, "not a multipart/form-data request");
  const auto parts = ParseMultipart(QByteArray::fromStdString(request.body), *boundary);
  if (!parts) return Reject(response, "malformed multipart body");
  const FormPart* file = FindPart(*parts, "upfile");
  if (file == nullptr || !file->has_file_name) return Reject(response, "no upfile part");
  QByteArray reason;
  const std::optional<UploadedLog> log = ReadUploadedLog(file->content, &reason);
  if (!log) return Reject(response, reason);
  context.state.StoreFile("uploads", number, file->file_name, file->content);
  if (!log->adif.isEmpty()) {
    context.state.StoreFile("uploads", number, file->file_name + ".adi", log->adif);
  }
  context.state.StoreFile("uploads", number, file->file_name + ".contacts",
                          ContactList(log->contacts));
  SetPage(response, "Qorv upload",
          "<!-- .UPL.  accepted -->\r\n<p>File queued for processing: " + file->file_name +
              "</p>\r\n<p>QSOs: " + QByteArray::number(log->contacts.size()) + "</p>");
}

}  // namespace

void AddQorvRoutes(httplib::Server& server, Context& context, bool tls) {
  server.Get("/qorvuser/qorvreport.adi",
             Recorded(context, tls, [&context](const auto& request, auto& response, int) {
               ReportHandler(context, request, response);
             }));
  server.Get("/qorvuser/default",
             Recorded(context, tls, [&context](const auto& request, auto& response, int) {
               LoginPageHandler(context, request, response);
             }));
  server.Post("/qorvuser/upload",
              Recorded(context, tls, [&context](const auto& request, auto& response, int number) {
                UploadHandler(context, request, response, number);
              }));
}
