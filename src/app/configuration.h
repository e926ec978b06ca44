#ifndef QORVSYNC_APP_CONFIGURATION_H_
#define QORVSYNC_APP_CONFIGURATION_H_

#include <QString>

#include "app/service_addresses.h"

// The program-wide configuration record, owned by the main window. Start-up
// fills it; the log poll changes the log's name and the values read from
// Aconfig. Folders end with "/".
struct Configuration {
  QString InstallPath;
  // The program's own files (see ProgramFiles): "qorv.ini", "ignore.txt" and
  // "Submode.txt" in ProgramFolder, the error lists in StateFolder; both are
  // the executable's folder unless the program is installed.
  QString ProgramFolder;
  QString StateFolder;
  QString DatabasePath;
  QString LogName;
  QString LogFileName;
  QString LogSet;
  QString EQorvUserName;
  QString EQorvPassword;
  QString EQSLUserName;
  QString EQSLPassword;
  bool ProxyEnable = false;
  QString ProxyHost;
  QString ProxyPort;
  // The services' addresses, read once at start from the program's own
  // settings file.
  ServiceAddresses Services;
};

#endif  // QORVSYNC_APP_CONFIGURATION_H_
