// The double's state folder: accounts, the confirmations and inboxes to serve,
// the files received, and the log of every request (see README.md).
#pragma once

#include <httplib.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <optional>

struct Account {
  QByteArray service;  // qorv, eqsl or clublog
  QByteArray login;    // Club Log: the e-mail address
  QByteArray password;
  QByteArray callsign;  // Club Log only
};

class State {
 public:
  explicit State(QString dir);

  const QString& Dir() const { return dir_; }

  // The account of the service whose login and password match (logins, e-mail
  // addresses and call signs without regard to letter case), read afresh from
  // accounts.txt so that tests may change it while the double runs.
  std::optional<Account> FindAccount(const QByteArray& service, const QByteArray& login,
                                     const QByteArray& password) const;

  // <dir>/<service>/<login>.adi, empty when missing.
  QByteArray AccountData(const QByteArray& service, const QByteArray& login) const;

  // Numbers the request, appends it to requests.log and keeps its bytes in
  // requests/<number>.http. Returns the number.
  int RecordRequest(const httplib::Request& request, bool tls);

  // Keeps a received file as <dir>/<folder>/<number>-<base name of file_name>.
  QString StoreFile(const QString& folder, int number, const QByteArray& file_name,
                    const QByteArray& content);

 private:
  QString dir_;
  std::atomic<int> next_number_{1};
  std::mutex log_mutex_;
};

// A name made safe as a file name: letters, digits, ".", "-", "_" and "@"
// stay, anything else becomes "_".
QString SafeFileName(const QByteArray& name);

// The request's Content-Type as the client sent it (see RawBodies in main.cpp).
QByteArray SentContentType(const httplib::Request& request);
inline constexpr char kRawMarker[] = "x-raw-";
