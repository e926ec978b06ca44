#ifndef QORVSYNC_APP_SERVICE_ADDRESSES_H_
#define QORVSYNC_APP_SERVICE_ADDRESSES_H_

#include <QString>

// The services' addresses, "scheme://host[:port]" without a trailing "/", from
// the section [Services] of the settings file (never written by the program).
struct ServiceAddresses {
  QString qorv;      // key Qorv: report and upload; no default
  QString qorv_web;  // key QorvWeb: login page; no default
  QString eqsl;      // key eQSL
  QString clublog;   // key ClubLog
  QString ca_file;   // key CAFile: extra trusted certificates (PEM)

  static ServiceAddresses Read(const QString& settings_file);
};

// The address, or an error naming the key to set when it is empty.
QString RequireServiceAddress(const QString& address, const QString& key,
                              const QString& settings_file);

#endif  // QORVSYNC_APP_SERVICE_ADDRESSES_H_
