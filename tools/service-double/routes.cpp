#include "routes.h"

httplib::Server::Handler Recorded(Context& context, bool tls, RecordedHandler handler) {
  return [&context, tls, handler](const httplib::Request& request, httplib::Response& response) {
    const int number = context.state.RecordRequest(request, tls);
    response.set_header("X-Request-Number", std::to_string(number));
    handler(request, response, number);
  };
}

QByteArray Param(const httplib::Request& request, const char* name) {
  return QByteArray::fromStdString(request.get_param_value(name));
}

void SetPage(httplib::Response& response, const QByteArray& title, const QByteArray& body) {
  const QByteArray page = "<html>\r\n<head><title>" + title + "</title></head>\r\n<body>\r\n" +
                          body + "\r\n</body>\r\n</html>\r\n";
  response.set_content(page.toStdString(), "text/html");
}

void AddFallbackRoutes(httplib::Server& server, Context& context, bool tls) {
  const auto not_found = Recorded(context, tls, [](const auto&, auto& response, int) {
    response.status = 404;
    SetPage(response, "Not Found", "<h1>Not Found</h1>");
  });
  server.Get(".*", not_found);
  server.Post(".*", not_found);
  server.Put(".*", not_found);
  server.Delete(".*", not_found);
}
