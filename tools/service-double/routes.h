// The services' endpoints, registered on the HTTP and on the HTTPS server.
#pragma once

#include <httplib.h>

#include <QByteArray>
#include <QMap>
#include <functional>
#include <mutex>

#include "state.h"

// The eQSL inbox files made for download, each bound to the session cookies
// of the reply that announced it.
struct EqslFile {
  QByteArray cfid;
  QByteArray cftoken;
  QByteArray content;
};

struct Context {
  State& state;
  std::mutex eqsl_mutex;
  // The real-time switch is counted down and its log appended one request at a time.
  std::mutex realtime_mutex;
  QMap<QByteArray, EqslFile> eqsl_files;
  // The pace of a Qorv report or an eQSL inbox file in bytes a second, as a
  // slow line would bring it; 0 sends it at once.
  qint64 bytes_per_second = 0;
};

using RecordedHandler =
    std::function<void(const httplib::Request&, httplib::Response&, int request_number)>;

// Wraps a handler so that every request is recorded in the state folder first;
// the reply carries the request's number in "X-Request-Number".
httplib::Server::Handler Recorded(Context& context, bool tls, RecordedHandler handler);

// A query parameter as the server decoded it, empty when absent.
QByteArray Param(const httplib::Request& request, const char* name);

void SetPage(httplib::Response& response, const QByteArray& title, const QByteArray& body);

// A download's body, sent at the context's pace, with its length announced.
void SetDownload(const Context& context, httplib::Response& response, std::string body,
                 const char* content_type);

void AddQorvRoutes(httplib::Server& server, Context& context, bool tls);
void AddEqslRoutes(httplib::Server& server, Context& context, bool tls);
void AddClublogRoutes(httplib::Server& server, Context& context, bool tls);
void AddClublogRealtimeRoutes(httplib::Server& server, Context& context, bool tls);
// Last: a 404 for everything else, recorded like the rest.
void AddFallbackRoutes(httplib::Server& server, Context& context, bool tls);
