#ifndef QORVSYNC_CLI_LOG_NAMES_H_
#define QORVSYNC_CLI_LOG_NAMES_H_

#include <QStringList>

#include "logdb/log_database.h"

// The names of the logbook's logs, as its configuration table lists them.
QStringList LogNames(LogDatabase& database);

// The same names for the shell's completion of --log. Read-only; empty when
// there is no logbook or its database cannot be read, since a completion must
// stay quiet.
QStringList LogbookLogNames();

#endif  // QORVSYNC_CLI_LOG_NAMES_H_
