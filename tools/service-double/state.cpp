#include "state.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

namespace {

// Headers the server library adds to a request on its own.
bool IsAddedHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

// The client may send a value in UTF-8 or in Windows-1252.
bool SameText(const QByteArray& sent, const QByteArray& stored, Qt::CaseSensitivity cs) {
  if (sent.compare(stored, cs) == 0) return true;
  QStringEncoder encoder("windows-1252");
  const QByteArray ansi = encoder.encode(QString::fromUtf8(stored));
  return !encoder.hasError() && sent.compare(ansi, cs) == 0;
}

}  // namespace

State::State(QString dir) : dir_(std::move(dir)) {
  for (const char* sub : {"qorv", "eqsl", "uploads", "clublog", "requests"}) {
    QDir(dir_).mkpath(sub);
  }
}

std::optional<Account> State::FindAccount(const QByteArray& service, const QByteArray& login,
                                          const QByteArray& password) const {
  QFile file(dir_ + "/accounts.txt");
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  for (QByteArray line : file.readAll().split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() < 3 || fields[0] != service) continue;
    const Account account{fields[0], fields[1], fields[2], fields.value(3)};
    if (SameText(login, account.login, Qt::CaseInsensitive) &&
        SameText(password, account.password, Qt::CaseSensitive)) {
      return account;
    }
  }
  return std::nullopt;
}

QByteArray State::AccountData(const QByteArray& service, const QByteArray& login) const {
  QFile file(dir_ + "/" + QString::fromUtf8(service) + "/" + SafeFileName(login) + ".adi");
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int State::RecordRequest(const httplib::Request& request, bool tls) {
  const int number = next_number_++;
  QByteArray head = QByteArray::fromStdString(request.method + " " + request.target + " " +
                                              request.version + "\r\n");
  for (const auto& [name, value] : request.headers) {
    if (IsAddedHeader(name)) continue;
    QByteArray sent = QByteArray::fromStdString(value);
    if (name == "Content-Type") sent = SentContentType(request);
    head += QByteArray::fromStdString(name) + ": " + sent + "\r\n";
  }
  const QByteArray body = QByteArray::fromStdString(request.body);
  const QByteArray id = QByteArray::number(number).rightJustified(6, '0');

  std::lock_guard lock(log_mutex_);
  QSaveFile raw(dir_ + "/requests/" + QString::fromLatin1(id) + ".http");
  if (raw.open(QIODevice::WriteOnly)) {
    raw.write(head + "\r\n" + body);
    raw.commit();
  }
  QFile log(dir_ + "/requests.log");
  if (log.open(QIODevice::Append)) {
    QByteArray entry = "#" + id + " " + (tls ? "https " : "http ") + head;
    entry.replace("\r\n", "\n  ");
    log.write(entry + "body: " + QByteArray::number(body.size()) + " bytes\n");
  }
  return number;
}

QString State::StoreFile(const QString& folder, int number, const QByteArray& file_name,
                         const QByteArray& content) {
  QByteArray base = file_name;
  base = base.mid(qMax(base.lastIndexOf('/'), base.lastIndexOf('\\')) + 1);
  if (base.isEmpty()) base = "unnamed";
  const QString path = dir_ + "/" + folder + "/" + QString::number(number).rightJustified(6, '0') +
                       "-" + SafeFileName(base);
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(content);
    file.commit();
  }
  return path;
}

QString SafeFileName(const QByteArray& name) {
  QString safe;
  for (const char c : name) {
    const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '-' || c == '_' || c == '@';
    safe += keep ? QChar(c) : QChar('_');
  }
  return safe;
}

QByteArray SentContentType(const httplib::Request& request) {
  QByteArray type = QByteArray::fromStdString(request.get_header_value("Content-Type"));
  if (type.startsWith(kRawMarker)) type = type.mid(sizeof kRawMarker - 1);
  return type;
}
