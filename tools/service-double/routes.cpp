#include "routes.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

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

void SetDownload(const Context& context, httplib::Response& response, std::string body,
                 const char* content_type) {
  const qint64 rate = context.bytes_per_second;
  if (rate <= 0) {
    response.set_content(std::move(body), content_type);
    return;
  }
  auto shared = std::make_shared<const std::string>(std::move(body));
  const auto start = std::make_shared<std::chrono::steady_clock::time_point>();
  response.set_content_provider(
      shared->size(), content_type,
      [shared, start, rate](size_t offset, size_t length, httplib::DataSink& sink) {
        if (offset == 0) *start = std::chrono::steady_clock::now();
        // A tenth of a second's worth at a time, each sent when the pace
        // allows it.
        const size_t piece = std::min<size_t>(length, std::max<qint64>(1, rate / 10));
        std::this_thread::sleep_until(
            *start + std::chrono::microseconds(
                         static_cast<qint64>(offset * 1'000'000.0 / static_cast<double>(rate))));
        return sink.write(shared->data() + offset, piece);
      });
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
