#ifndef QORVSYNC_APP_START_UP_H_
#define QORVSYNC_APP_START_UP_H_

#include <QString>

#include "app/configuration.h"

class TfrmMain;

// The name of the logbook's executable, looked for at start-up and closing.
inline const QString kLogbookExe = QStringLiteral("Vodrix_Log3.exe");

// FormCreate: finds the logbook's installation and current log, fills the
// configuration record and the elements the logbook's registry keys supply,
// opens the log database and switches the log poll on. The first step that fails ends the sequence
// with its error; what was set until then stays.
void StartUp(TfrmMain& form);

// The section [Services] of the program's "qorv.ini" into the record, and its
// extra trusted certificates into every HTTP exchange. Read once, before the
// logbook's settings, so a start-up that fails still has them.
void ReadServices(Configuration& config);

// "host:port" as the system's Internet settings hold it: the host before the
// first ":", the port after it, both trimmed; without a ":" the whole value
// is the port.
void SplitProxyServer(const QString& value, QString* host, QString* port);

#endif  // QORVSYNC_APP_START_UP_H_
