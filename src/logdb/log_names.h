#ifndef QORVSYNC_LOGDB_LOG_NAMES_H_
#define QORVSYNC_LOGDB_LOG_NAMES_H_

#include <QString>
#include <QStringList>
#include <optional>

#include "logdb/log_database.h"

// The names of the logbook's logs, as Aconfig lists them (in rowid order);
// nullopt when the table cannot be read.
std::optional<QStringList> ReadLogNames(LogDatabase& database);

// The same from the database file at `path`, opened read-only for this call
// (waiting at most a second for the logbook's writes); empty when the file is
// missing or cannot be read.
QStringList ReadLogNamesOfFile(const QString& path);

#endif  // QORVSYNC_LOGDB_LOG_NAMES_H_
