// Runs the service double as a real process on a private state folder, and
// talks to it with hand-written HTTP/1.0 requests over TCP or TLS.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct RawReply {
  int status = 0;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;

  QList<QByteArray> Headers(const QByteArray& name) const;
  QByteArray Header(const QByteArray& name) const { return Headers(name).value(0); }
};

class ServiceDoubleProcess {
 public:
  ServiceDoubleProcess();
  ~ServiceDoubleProcess();

  // Starts the double; false (with a test failure) when it does not come up.
  bool Start();
  // SIGTERM; true when it ended by itself with exit code 0.
  bool Stop();

  QString StatePath(const QString& relative) const { return state_.filePath(relative); }
  void WriteState(const QString& relative, const QByteArray& content) const;
  QByteArray ReadState(const QString& relative) const;

  int http_port() const { return http_port_; }
  int https_port() const { return https_port_; }

  // Sends the bytes of one request (normally HTTP/1.0, so that the double
  // closes the connection after its reply) and reads the whole reply.
  RawReply Exchange(bool tls, const QByteArray& request, const QString& host = "127.0.0.1") const;
  RawReply Get(bool tls, const QByteArray& target, const QByteArray& extra_headers = {}) const;
  RawReply Post(bool tls, const QByteArray& target, const QByteArray& content_type,
                const QByteArray& body) const;

 private:
  QTemporaryDir state_;
  QProcess process_;
  int http_port_ = 0;
  int https_port_ = 0;
};

// Multipart bodies as the program builds them: the upfile style of the Qorv
// upload and the file style, after text parts, of the Club Log upload.
QByteArray UpfileBody(const QByteArray& boundary, const QByteArray& file_name,
                      const QByteArray& content);
QByteArray ClublogBody(const QByteArray& boundary,
                       const QList<QPair<QByteArray, QByteArray>>& fields,
                       const QByteArray& file_name, const QByteArray& content);

// Path of an executable built under tools/.
QString ToolPath(const QString& relative);
