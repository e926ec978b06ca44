#ifndef QORVSYNC_CLI_LOG_NAMES_H_
#define QORVSYNC_CLI_LOG_NAMES_H_

#include <QStringList>

#include "logdb/log_database.h"

// The names of the logbook's logs, as its configuration table lists them.
QStringList LogNames(LogDatabase& database);

#endif  // QORVSYNC_CLI_LOG_NAMES_H_
