#ifndef QORVSYNC_LOGDB_DATABASE_FILE_H_
#define QORVSYNC_LOGDB_DATABASE_FILE_H_

#include <QString>

// Looks at the file before SQLite opens it, so that the user is told what is
// wrong in plain words: a missing file (SQLite would create an empty one), an
// Access database left over from the logbook's Windows days, a file that is no
// database at all, or one we may not write. Throws AppError.
void CheckLogDatabaseFile(const QString& path);

#endif  // QORVSYNC_LOGDB_DATABASE_FILE_H_
