#include "session/start_up.h"

#include "net/http_client.h"
#include "platform/conversions.h"
#include "platform/ini_file.h"
#include "platform/registry.h"
#include "session/logbook_files.h"
#include "session/logbook_registry_keys.h"

namespace {

void ReadProxy(const Registry& registry, Configuration& config) {
  config.ProxyEnable = registry.ReadInteger(kProxyEnableValue) != 0;
  const QString server = registry.ReadString(kProxyServerValue);
  if (!server.isEmpty()) SplitProxyServer(server, &config.ProxyHost, &config.ProxyPort);
}

}  // namespace

void ReadServices(Configuration& config) {
  config.Services = ServiceAddresses::Read(ProgramSettingsFile(config));
  HttpClient::SetDefaultCaFile(config.Services.ca_file);
}

void SplitProxyServer(const QString& value, QString* host, QString* port) {
  const qsizetype colon = value.indexOf(u':');
  *host = colon < 0 ? QString() : TrimControl(value.left(colon));
  *port = TrimControl(value.mid(colon + 1));
}

void RunStartUp(Configuration& config, LogDatabase& database, StartUpRoad& road,
                const StartUpParameters& parameters) {
  ReadServices(config);

  Registry registry;
  if (registry.OpenKey(kLogbookKey, true)) {
    config.InstallPath = registry.ReadString(kInstallPathValue);
  }
  config.DatabasePath = config.InstallPath + kLogbookDatabase;

  if (registry.OpenKey(kInternetSettingsKey, false)) ReadProxy(registry, config);
  registry.CloseKey();

  if (registry.OpenKey(kEditNewQsoKey, true) && registry.ValueExists(kTqslPathValue)) {
    road.TqslPath(registry.ReadString(kTqslPathValue));
  }
  registry.CloseKey();

  road.SinceDateRead(SinceDate::kEqsl, ReadSinceDate(SinceDate::kEqsl));
  road.SinceDateRead(SinceDate::kQorv, ReadSinceDate(SinceDate::kQorv));
  if (registry.OpenKey(kSendQsosKey, false) && registry.ValueExists(kStationLocationValue)) {
    road.StationLocation(registry.ReadString(kStationLocationValue));
  }
  registry.CloseKey();
  if (!parameters.open_logbook) return;

  config.LogName = parameters.log_name.isEmpty()
                       ? IniFile(config.InstallPath + kLogbookIni)
                             .ReadString(kLogbookIniSection, kLogbookIniLogName)
                       : parameters.log_name;
  road.LogNameKnown(config.LogName);

  database.OpenLogDatabase(config.DatabasePath);
  LoadLogConfiguration(database, config);
}
