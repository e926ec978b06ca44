#ifndef QORVSYNC_SESSION_CONFIGURATION_H_
#define QORVSYNC_SESSION_CONFIGURATION_H_

#include <QString>

#include "logdb/log_database.h"
#include "session/service_addresses.h"

// The program-wide configuration record. Start-up fills it; the window's log
// poll changes the log's name and the values read from Aconfig (the
// LogConfiguration part, loaded whole). Folders end with "/".
struct Configuration : LogConfiguration {
  QString InstallPath;
  // The program's own files (see ProgramFiles): "qorv.ini", "ignore.txt" and
  // "Submode.txt" in ProgramFolder, the error lists in StateFolder; both are
  // the executable's folder unless the program is installed.
  QString ProgramFolder;
  QString StateFolder;
  QString DatabasePath;
  QString LogName;
  bool ProxyEnable = false;
  QString ProxyHost;
  QString ProxyPort;
  // The services' addresses, read once at start from the program's own
  // settings file.
  ServiceAddresses Services;
};

// The program's own settings file, "qorv.ini" in ProgramFolder.
QString ProgramSettingsFile(const Configuration& config);

// The Qorv service address (report, upload, the QSOs it holds); throws
// AppError naming the key of the settings file when it is unset.
QString QorvServiceAddress(const Configuration& config);

// The current log's Aconfig row into the record: its table, its log set and
// the service credentials (all empty when the log is not in Aconfig).
void LoadLogConfiguration(LogDatabase& database, Configuration& config);

#endif  // QORVSYNC_SESSION_CONFIGURATION_H_
