#ifndef QORVSYNC_APP_LOGBOOK_SESSION_H_
#define QORVSYNC_APP_LOGBOOK_SESSION_H_

#include <QString>
#include <functional>

#include "logdb/log_database.h"
#include "platform/logbook_link.h"
#include "platform/window_link.h"

// What the program holds of the logbook for the whole run: the connection to
// its log database, the link to its entry window with the handles as last
// looked up, and how the logbook's process is found.
class LogbookSession {
 public:
  // The process id of the first running process of that executable name, 0
  // when none.
  using ProcessFinder = std::function<qint64(const QString& exe_name)>;

  // The window link goes to the logbook's socket as the environment names it
  // now; the process finder is FindProcessId.
  LogbookSession();

  LogDatabase& Database() { return database_; }
  LogbookLink& Link() { return link_; }

  qint64 FindProcess(const QString& exe_name) const { return find_process_(exe_name); }
  void SetProcessFinder(ProcessFinder finder) { find_process_ = std::move(finder); }

  // The log the poll last failed to load (empty when none).
  const QString& FailedLogName() const { return failed_log_name_; }
  void SetFailedLogName(const QString& name) { failed_log_name_ = name; }

 private:
  LogDatabase database_;
  SocketWindowLink window_link_;
  LogbookLink link_;
  ProcessFinder find_process_;
  QString failed_log_name_;
};

#endif  // QORVSYNC_APP_LOGBOOK_SESSION_H_
