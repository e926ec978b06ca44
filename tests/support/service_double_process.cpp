#include "support/service_double_process.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QThread>

QString ToolPath(const QString& relative) {
  return QStringLiteral(QORV_BINARY_DIR "/tools/") + relative;
}

QList<QByteArray> RawReply::Headers(const QByteArray& name) const {
  QList<QByteArray> values;
  for (const auto& [key, value] : headers) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) values.append(value);
  }
  return values;
}

ServiceDoubleProcess::ServiceDoubleProcess() {
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.setStandardOutputFile(QProcess::nullDevice());
}

ServiceDoubleProcess::~ServiceDoubleProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

bool ServiceDoubleProcess::Start() {
  process_.start(ToolPath("service-double/service-double"),
                 {"--state", state_.path(), "--ca-out", state_.filePath("ca.pem"), "--ports-out",
                  state_.filePath("ports")});
  if (!process_.waitForStarted(5000)) {
    ADD_FAILURE() << "service-double does not start: " << process_.errorString().toStdString();
    return false;
  }
  const QDeadlineTimer deadline(10000);
  while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
    QFile ports(state_.filePath("ports"));
    if (ports.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : ports.readAll().split('\n')) {
        if (line.startsWith("http=")) http_port_ = line.mid(5).toInt();
        if (line.startsWith("https=")) https_port_ = line.mid(6).toInt();
      }
      return http_port_ > 0 && https_port_ > 0;
    }
    QThread::msleep(20);
  }
  ADD_FAILURE() << "service-double wrote no ports file";
  return false;
}

bool ServiceDoubleProcess::Stop() {
  process_.terminate();
  return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::NormalExit &&
         process_.exitCode() == 0;
}

void ServiceDoubleProcess::WriteState(const QString& relative, const QByteArray& content) const {
  QFile file(state_.filePath(relative));
  QDir().mkpath(QFileInfo(file).path());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
  file.write(content);
}

QByteArray ServiceDoubleProcess::ReadState(const QString& relative) const {
  QFile file(state_.filePath(relative));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RawReply ServiceDoubleProcess::Exchange(bool tls, const QByteArray& request,
                                        const QString& host) const {
  QSslSocket socket;
  if (tls) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setCaCertificates(QSslCertificate::fromPath(state_.filePath("ca.pem")));
    socket.setSslConfiguration(config);
    socket.connectToHostEncrypted(host, static_cast<quint16>(https_port_));
    if (!socket.waitForEncrypted(10000)) {
      ADD_FAILURE() << "TLS handshake failed: " << socket.errorString().toStdString();
      return {};
    }
  } else {
    socket.connectToHost(host, static_cast<quint16>(http_port_));
    if (!socket.waitForConnected(10000)) {
      ADD_FAILURE() << "no connection: " << socket.errorString().toStdString();
      return {};
    }
  }
  socket.write(request);
  QByteArray data;
  while (socket.waitForReadyRead(10000)) data += socket.readAll();
  data += socket.readAll();

  RawReply reply;
  const qsizetype head_end = data.indexOf("\r\n\r\n");
  if (head_end < 0) {
    ADD_FAILURE() << "no complete reply: " << data.toStdString();
    return reply;
  }
  const QList<QByteArray> lines = data.left(head_end).split('\n');
  reply.status = lines[0].split(' ').value(1).toInt();
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(':');
    if (colon > 0) reply.headers.append({lines[i].left(colon), lines[i].mid(colon + 1).trimmed()});
  }
  reply.body = data.mid(head_end + 4);
  return reply;
}

RawReply ServiceDoubleProcess::Get(bool tls, const QByteArray& target,
                                   const QByteArray& extra_headers) const {
  const int port = tls ? https_port_ : http_port_;
  return Exchange(tls, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" +
                           QByteArray::number(port) + "\r\n" + extra_headers + "\r\n");
}

RawReply ServiceDoubleProcess::Post(bool tls, const QByteArray& target,
                                    const QByteArray& content_type, const QByteArray& body) const {
  const int port = tls ? https_port_ : http_port_;
  return Exchange(tls,
                  "POST " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                      "\r\nContent-Type: " + content_type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

QByteArray UpfileBody(const QByteArray& boundary, const QByteArray& file_name,
                      const QByteArray& content) {
  return "--" + boundary + "\r\ncontent-disposition: form-data; name=\"upfile\"; filename=\"" +
         file_name + "\"\r\nContent-Type: Application/octet-string\r\n\r\n" + content + "\r\n--" +
         boundary + "--\r\n";
}

QByteArray ClublogBody(const QByteArray& boundary,
                       const QList<QPair<QByteArray, QByteArray>>& fields,
                       const QByteArray& file_name, const QByteArray& content) {
  QByteArray body;
  for (const auto& [name, value] : fields) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name +
            "\"\r\nContent-Type: text/plain\r\n\r\n" + value + "\r\n";
  }
  return body + "--" + boundary + "\r\nContent-disposition: form-data; name=\"file\"; filename=\"" +
         file_name + "\"\r\nContent-Type: Application/octet-stream\r\n\r\n" + content + "--" +
         boundary + "--\r\n";
}
