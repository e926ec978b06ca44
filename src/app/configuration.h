#ifndef QORVSYNC_APP_CONFIGURATION_H_
#define QORVSYNC_APP_CONFIGURATION_H_

#include <QString>

// The program-wide configuration record, owned by the main window. Start-up
// fills it; the log poll changes the log's name and the values read from
// Aconfig. Folders end with "/".
struct Configuration {
  QString InstallPath;
  QString ProgramFolder;
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
};

#endif  // QORVSYNC_APP_CONFIGURATION_H_
