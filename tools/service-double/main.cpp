// service-double --state DIR [--http-port N] [--https-port N] [--ca-out FILE]
//                [--ports-out FILE] [--bytes-per-second N]
// Serves the Qorv, eQSL and Club Log endpoints over HTTP and HTTPS on
// 127.0.0.1 until SIGTERM or SIGINT.
#include <signal.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>
#include <thread>

#include "certificates.h"
#include "routes.h"
#include "state.h"

namespace {

constexpr char kHost[] = "127.0.0.1";

// The library would take multipart bodies apart itself, and refuse some that
// the services accept; a changed type makes it hand over the bytes as sent.
httplib::Server::HandlerResponse KeepBodyRaw(const httplib::Request& request, httplib::Response&) {
  // The request object is the server's own, not a constant one.
  for (auto& [name, value] : const_cast<httplib::Request&>(request).headers) {
    if (QByteArray::fromStdString(name).compare("Content-Type", Qt::CaseInsensitive) == 0 &&
        QByteArray::fromStdString(value).toLower().startsWith("multipart/")) {
      value = kRawMarker + value;
    }
  }
  return httplib::Server::HandlerResponse::Unhandled;
}

void Setup(httplib::Server& server, Context& context, bool tls) {
  server.set_pre_routing_handler(KeepBodyRaw);
  // An idle kept-alive connection holds up the stop for this long.
  server.set_keep_alive_timeout(2);
  AddQorvRoutes(server, context, tls);
  AddEqslRoutes(server, context, tls);
  AddClublogRoutes(server, context, tls);
  AddClublogRealtimeRoutes(server, context, tls);
  AddFallbackRoutes(server, context, tls);
}

int Bind(httplib::Server& server, int port) {
  if (port == 0) return server.bind_to_any_port(kHost);
  return server.bind_to_port(kHost, port) ? port : -1;
}

bool WriteFile(const QString& path, const QByteArray& content) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
}

int Fail(const QString& text) {
  QTextStream(stderr) << "service-double: " << text << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Signals are taken by sigwait below, in no thread of the servers.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("Stand-in for the Qorv, eQSL and Club Log services");
  parser.addHelpOption();
  parser.addOptions({{"state", "State folder.", "dir"},
                     {"http-port", "HTTP port (0: any free port).", "port", "0"},
                     {"https-port", "HTTPS port (0: any free port).", "port", "0"},
                     {"ca-out", "Where to write the CA certificate (PEM).", "file"},
                     {"ports-out", "Where to write the ports once listening.", "file"},
                     {"bytes-per-second",
                      "Pace of a Qorv report or an eQSL inbox file (0: at once).", "n", "0"}});
  parser.process(app);
  if (!parser.isSet("state")) return Fail("--state DIR is required");

  Certificates certificates;
  try {
    certificates = MakeCertificates();
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  if (parser.isSet("ca-out") &&
      !WriteFile(parser.value("ca-out"), QByteArray::fromStdString(ToPem(certificates.ca.get())))) {
    return Fail("cannot write " + parser.value("ca-out"));
  }

  State state(parser.value("state"));
  Context context{state, {}, {}, {}, parser.value("bytes-per-second").toLongLong()};
  httplib::Server http;
  httplib::SSLServer https(certificates.server.get(), certificates.server_key.get());
  if (!https.is_valid()) return Fail("the TLS server cannot be set up");
  Setup(http, context, false);
  Setup(https, context, true);

  const int http_port = Bind(http, parser.value("http-port").toInt());
  const int https_port = Bind(https, parser.value("https-port").toInt());
  if (http_port <= 0 || https_port <= 0) return Fail("cannot listen on the ports asked for");
  const QByteArray ports =
      "http=" + QByteArray::number(http_port) + "\nhttps=" + QByteArray::number(https_port) + "\n";
  if (parser.isSet("ports-out") && !WriteFile(parser.value("ports-out"), ports)) {
    return Fail("cannot write " + parser.value("ports-out"));
  }
  QTextStream(stdout) << ports << Qt::flush;

  std::thread http_thread([&http] { http.listen_after_bind(); });
  std::thread https_thread([&https] { https.listen_after_bind(); });
  int received = 0;
  sigwait(&stop_signals, &received);
  http.stop();
  https.stop();
  http_thread.join();
  https_thread.join();
  return 0;
}
