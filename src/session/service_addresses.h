#ifndef QORVSYNC_SESSION_SERVICE_ADDRESSES_H_
#define QORVSYNC_SESSION_SERVICE_ADDRESSES_H_

#include <QString>

// The services' addresses, "scheme://host[:port]" without a trailing "/", from
// the section [Services] of the settings file (never written by the program).
// A default-made record holds the defaults of a file without the section.
struct ServiceAddresses {
  QString qorv;                                             // key Qorv: report and upload
  QString qorv_web;                                         // key QorvWeb: login page
  QString eqsl = QStringLiteral("https://www.eqsl.cc");     // key eQSL
  QString clublog = QStringLiteral("https://clublog.org");  // key ClubLog
  QString ca_file;  // key CAFile: extra trusted certificates (PEM)

  static ServiceAddresses Read(const QString& settings_file);
};

// The address, or an error naming the key to set when it is empty.
QString RequireServiceAddress(const QString& address, const QString& key,
                              const QString& settings_file);

#endif  // QORVSYNC_SESSION_SERVICE_ADDRESSES_H_
