#ifndef QORVSYNC_CLI_HEADLESS_SESSION_H_
#define QORVSYNC_CLI_HEADLESS_SESSION_H_

#include <QString>

#include "logdb/log_database.h"
#include "platform/program_files.h"
#include "session/configuration.h"
#include "session/stored_options.h"

// The program's start-up without a window: the configuration record, the
// stored options and the open log database.
class HeadlessSession {
 public:
  // Runs the start-up sequence; `log_name` picks a log, empty takes the
  // logbook's current one. Without `open_logbook` only the settings are read
  // (for Club Log). A since-date the logbook does not store is today, as a
  // fresh date box holds it. Errors (AppError) are those of the window's
  // start-up.
  HeadlessSession(const ProgramFiles& files, const QString& log_name, bool open_logbook = true);

  Configuration& Config() { return config_; }
  StoredOptions& Options() { return options_; }
  LogDatabase& Database() { return database_; }
  // False when the log is not in the logbook's configuration table.
  bool LogKnown() const { return !config_.LogFileName.isEmpty(); }

 private:
  Configuration config_;
  StoredOptions options_;
  LogDatabase database_;
};

#endif  // QORVSYNC_CLI_HEADLESS_SESSION_H_
