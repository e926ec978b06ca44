#ifndef QORVSYNC_TESTS_SUPPORT_LOGBOOK_INSTALLATION_H_
#define QORVSYNC_TESTS_SUPPORT_LOGBOOK_INSTALLATION_H_

#include <QString>
#include <vector>

// A small logbook installation for tests: "db/logs.mdb" (WAL) with Aconfig
// and one log table per log, and "Vodrix_Log3.ini" naming the current log.
struct FixtureLog {
  QString name;
  QString table;
  int qsos = 0;  // QSO i is confirmed by Qorv when i is even
};

void WriteLogbookInstallation(const QString& dir, const std::vector<FixtureLog>& logs,
                              const QString& current_log);

#endif  // QORVSYNC_TESTS_SUPPORT_LOGBOOK_INSTALLATION_H_
