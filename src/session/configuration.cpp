#include "session/configuration.h"

QString ProgramSettingsFile(const Configuration& config) {
  return config.ProgramFolder + QStringLiteral("qorv.ini");
}

void LoadLogConfiguration(LogDatabase& database, Configuration& config) {
  static_cast<LogConfiguration&>(config) = database.LoadLogConfiguration(config.LogName);
}
