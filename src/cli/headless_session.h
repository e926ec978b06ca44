#ifndef QORVSYNC_CLI_HEADLESS_SESSION_H_
#define QORVSYNC_CLI_HEADLESS_SESSION_H_

#include <QDateTime>
#include <QString>

#include "app/configuration.h"
#include "confirmations/confirmation_options.h"
#include "logdb/log_database.h"
#include "platform/program_files.h"

// What the window's elements would hold when it opens: the dates, the TQSL
// path and the station location from the logbook's registry keys, and the
// element values the window stored in "qorv.ini" (which win, as they do in
// the window, whose stored values are restored after start-up).
struct StoredOptions {
  QDateTime qorv_since;  // DateTimePicker
  QDateTime eqsl_since;  // DateTimePicker2
  QString tqsl_path;     // edtTqsl
  QString location;      // edLocation
  ConfirmationOptions confirmation;
  bool keep_files = false;  // cbKeep
  bool clublog = false;     // cbClublog
  QString clublog_email;
  QString clublog_password;
  QString clublog_callsign;
};

// The program's start-up without a window: the configuration record, the
// stored options and the open log database.
class HeadlessSession {
 public:
  // Reads everything and opens the database; `log_name` picks a log, empty
  // takes the logbook's current one. Without `open_logbook` only the
  // settings are read (for Club Log). Errors (AppError) are those of the
  // window's start-up.
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
