#include "upload/real_tqsl_setup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "platform/text_codec.h"

namespace {

// Runs openssl in `dir`; empty on success, else its complaint.
QString OpenSsl(const QString& dir, const QStringList& arguments) {
  QProcess openssl;
  openssl.setWorkingDirectory(dir);
  openssl.setProcessChannelMode(QProcess::MergedChannels);
  openssl.start(QStringLiteral("openssl"), arguments);
  if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
    return "openssl " + arguments.join(' ') + ": " + QString::fromLocal8Bit(openssl.readAll());
  }
  return QString();
}

bool HoldsCertificate(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.readAll().contains("-----END CERTIFICATE-----");
}

QByteArray Field(const char* name, const QByteArray& value) {
  return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value;
}

}  // namespace

PrivateXServer::~PrivateXServer() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) process_.kill();
  process_.waitForFinished(5000);
}

QString PrivateXServer::Start() {
  const QString xvfb = QStandardPaths::findExecutable("Xvfb", {"/usr/bin", "/usr/local/bin"});
  if (xvfb.isEmpty()) return QString();
  process_.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  if (!process_.waitForStarted(5000)) return QString();
  QByteArray number;
  while (!number.contains('\n') && process_.waitForReadyRead(10000)) {
    number += process_.readAllStandardOutput();
  }
  number = number.trimmed();
  return number.isEmpty() ? QString() : ":" + QString::fromLatin1(number);
}

QString InstallThrowawayCertificate(const QString& tqsl, const QString& tqsl_dir,
                                    const QString& call) {
  QTemporaryDir work;
  const QString dir = work.path();
  // The callsign is a subject attribute of TQSL's own; the validity dates and
  // the DXCC entity are extensions holding the bare text.
  WriteFileBytes(work.filePath("user.cnf"),
                 "oid_section = oids\n[oids]\ncallsign = 1.3.6.1.4.1.12348.1.1\n"
                 "[req]\ndistinguished_name = dn\nprompt = no\n[dn]\ncallsign = " +
                     call.toLatin1() + "\nCN = Test Operator\n");
  WriteFileBytes(work.filePath("ext.cnf"),
                 "[v3]\nbasicConstraints = CA:FALSE\n"
                 "1.3.6.1.4.1.12348.1.2 = DER:" +
                     QByteArray("2000-01-01").toHex() +
                     "\n"
                     "1.3.6.1.4.1.12348.1.3 = DER:" +
                     QByteArray("2030-12-31").toHex() +
                     "\n"
                     "1.3.6.1.4.1.12348.1.4 = DER:" +
                     QByteArray("291").toHex() + "\n");
  const QList<QStringList> steps = {
      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "root.key", "-out", "root.pem",
       "-days", "3650", "-subj", "/CN=Throwaway Root", "-addext",
       "basicConstraints=critical,CA:TRUE"},
      {"genrsa", "-out", "user.key", "1024"},
      {"pkcs8", "-topk8", "-nocrypt", "-in", "user.key", "-out", "user.p8"},
      {"rsa", "-in", "user.key", "-pubout", "-out", "user.pub"},
      {"req", "-new", "-key", "user.key", "-config", "user.cnf", "-out", "user.csr"},
      {"x509", "-req", "-in", "user.csr", "-CA", "root.pem", "-CAkey", "root.key", "-set_serial",
       "4242", "-days", "3650", "-extfile", "ext.cnf", "-extensions", "v3", "-out", "user.pem"},
  };
  for (const QStringList& step : steps) {
    const QString failed = OpenSsl(dir, step);
    if (!failed.isEmpty()) return failed;
  }
  if (!QDir().mkpath(tqsl_dir + "/keys")) return "cannot create " + tqsl_dir + "/keys";
  WriteFileBytes(tqsl_dir + "/keys/" + call,
                 Field("CALLSIGN", call.toLatin1()) +
                     Field("PRIVATE_KEY", ReadFileBytes(work.filePath("user.p8"))) +
                     Field("PUBLIC_KEY", ReadFileBytes(work.filePath("user.pub"))) +
                     Field("TQSL_CRQ_DXCC_ENTITY", "291") + "<eor>\n");
  const QString tq6 = work.filePath("cert.tq6");
  WriteFileBytes(tq6, "<tqsldata><tqslcerts><rootcert>" + ReadFileBytes(work.filePath("root.pem")) +
                          "</rootcert><usercert>" + ReadFileBytes(work.filePath("user.pem")) +
                          "</usercert></tqslcerts></tqsldata>\n");

  // TQSL imports the file but may stay open afterwards: it is ended by its
  // process id once the certificate is in place.
  QProcess import;
  import.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  import.start(tqsl, {"-i", tq6, "-x"});
  if (!import.waitForStarted(10000)) return "tqsl -i did not start";
  const QString user_certs = tqsl_dir + "/certs/user";
  QElapsedTimer waited;
  waited.start();
  while (!HoldsCertificate(user_certs) && import.state() != QProcess::NotRunning &&
         waited.elapsed() < 60000) {
    QThread::msleep(100);
  }
  const bool imported = HoldsCertificate(user_certs);
  if (import.state() != QProcess::NotRunning) {
    import.kill();
    import.waitForFinished(5000);
  }
  return imported ? QString() : "tqsl -i did not import the certificate";
}
