// Club Log: the ADIF upload form with e-mail, password, call sign and the
// application key.
#include "multipart.h"
#include "routes.h"
#include "signed_log.h"

namespace {

constexpr char kApiKey[] = "d41c07ab83e6f2905b1d7c4e8a36f0b92c5e1d7a";

void Refuse(httplib::Response& response, int status, const char* text) {
  response.status = status;
  response.set_content(text, "text/plain");
}

void UploadHandler(Context& context, const httplib::Request& request, httplib::Response& response,
                   int number) {
  const std::optional<QByteArray> boundary = MultipartBoundary(SentContentType(request));
  if (!boundary) return Refuse(response, 400, "Upload rejected: not a multipart/form-data request");
  const auto parts = ParseMultipart(QByteArray::fromStdString(request.body), *boundary);
  if (!parts) return Refuse(response, 400, "Upload rejected: malformed multipart body");
  const auto field = [&](const char* name) {
    const FormPart* part = FindPart(*parts, name);
    return part != nullptr && !part->has_file_name ? part->content : QByteArray();
  };
  if (field("api") != kApiKey) return Refuse(response, 403, "Invalid or missing API key");
  const std::optional<Account> account =
      context.state.FindAccount("clublog", field("email"), field("password"));
  if (!account || account->callsign.compare(field("callsign"), Qt::CaseInsensitive) != 0) {
    return Refuse(response, 403, "Login rejected: check your email, password and callsign");
  }
  const FormPart* file = FindPart(*parts, "file");
  if (file == nullptr || !file->has_file_name) {
    return Refuse(response, 400, "Upload rejected: no file was sent");
  }
  context.state.StoreFile("clublog", number, file->file_name, file->content);
  if (CountAdifRecords(file->content) == 0) {
    return Refuse(response, 400, "Upload rejected: the file holds no ADIF records");
  }
  response.set_content("Upload accepted and queued!", "text/plain");
}

}  // namespace

void AddClublogRoutes(httplib::Server& server, Context& context, bool tls) {
  server.Post("/putlogs.php",
              Recorded(context, tls, [&context](const auto& request, auto& response, int number) {
                UploadHandler(context, request, response, number);
              }));
}
