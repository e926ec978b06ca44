#ifndef QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_INSTALLATION_H_
#define QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_INSTALLATION_H_

#include <QString>
#include <QStringList>

#include "platform/registry.h"

// Writes a complete logbook installation into `dir` (created when missing):
// db/logs.mdb with Aconfig and generated QSOs spread over four logs (set
// "Main": "Home", "Portable", "Contest"; set "Club": "Club"), Vodrix_Log3.ini
// naming "Home" as the current log, the folders "Download" and "Qorv Logs",
// and the logbook's registry values in `registry_file`. An existing database
// is replaced. Errors throw AppError.
void CreateInstallation(const QString& dir, int qsos, quint32 seed,
                        const QString& registry_file = Registry::DefaultFile());

// `--create DIR [--qsos N] [--seed S]`; returns the process exit code.
int RunCreateCommand(const QStringList& args);

#endif  // QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_INSTALLATION_H_
