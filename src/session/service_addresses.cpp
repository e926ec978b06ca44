#include "session/service_addresses.h"

#include <QFileInfo>

#include "platform/app_error.h"
#include "platform/ini_file.h"

namespace {

const QString kSection = QStringLiteral("Services");

QString Address(const IniFile& ini, const QString& key, const QString& fallback = QString()) {
  QString value = ini.ReadString(kSection, key, fallback).trimmed();
  while (value.endsWith(u'/')) value.chop(1);
  return value;
}

}  // namespace

ServiceAddresses ServiceAddresses::Read(const QString& settings_file) {
  const IniFile ini(settings_file);
  ServiceAddresses addresses;
  addresses.qorv = Address(ini, QStringLiteral("Qorv"));
  addresses.qorv_web = Address(ini, QStringLiteral("QorvWeb"));
  addresses.eqsl = Address(ini, QStringLiteral("eQSL"), addresses.eqsl);
  addresses.clublog = Address(ini, QStringLiteral("ClubLog"), addresses.clublog);
  addresses.ca_file = ini.ReadString(kSection, QStringLiteral("CAFile"));
  return addresses;
}

QString RequireServiceAddress(const QString& address, const QString& key,
                              const QString& settings_file) {
  if (!address.isEmpty()) return address;
  throw AppError(QStringLiteral("The address of the service is not set. Add the key \"%1\" "
                                "(scheme://host[:port]) to the section [Services] of %2.")
                     .arg(key, QFileInfo(settings_file).absoluteFilePath()));
}
