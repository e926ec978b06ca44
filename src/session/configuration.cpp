#include "session/configuration.h"

QString ProgramSettingsFile(const Configuration& config) {
  return config.ProgramFolder + QStringLiteral("qorv.ini");
}

QString QorvServiceAddress(const Configuration& config) {
  return RequireServiceAddress(config.Services.qorv, QStringLiteral("Qorv"),
                               ProgramSettingsFile(config));
}

void LoadLogConfiguration(LogDatabase& database, Configuration& config) {
  static_cast<LogConfiguration&>(config) = database.LoadLogConfiguration(config.LogName);
}
