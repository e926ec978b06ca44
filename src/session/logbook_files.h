#ifndef QORVSYNC_SESSION_LOGBOOK_FILES_H_
#define QORVSYNC_SESSION_LOGBOOK_FILES_H_

#include <QString>

// The logbook's files below its InstallPath, and its executable's name, looked
// for at start-up and closing.
inline const QString kLogbookExe = QStringLiteral("Vodrix_Log3.exe");
inline const QString kLogbookDatabase = QStringLiteral("db/logs.mdb");
// The logbook's ini file names its current log.
inline const QString kLogbookIni = QStringLiteral("Vodrix_Log3.ini");
inline const QString kLogbookIniSection = QStringLiteral("EditNewQso");
inline const QString kLogbookIniLogName = QStringLiteral("LogName");

#endif  // QORVSYNC_SESSION_LOGBOOK_FILES_H_
