#ifndef QORVSYNC_SESSION_START_UP_H_
#define QORVSYNC_SESSION_START_UP_H_

#include <QDateTime>
#include <QString>
#include <optional>

#include "logdb/log_database.h"
#include "session/configuration.h"
#include "session/since_dates.h"

// What a front end does with the findings of the start-up steps, each told
// when its step has run. An error thrown here ends the sequence as a failing
// step does.
class StartUpRoad {
 public:
  virtual ~StartUpRoad() = default;
  // The TQSL program the logbook names, when it names one.
  virtual void TqslPath(const QString& path) = 0;
  // A stored since-date, eQSL's first; nullopt when none is stored.
  virtual void SinceDateRead(SinceDate which, const std::optional<QDateTime>& value) = 0;
  // The station location the logbook stores, when it stores one.
  virtual void StationLocation(const QString& location) = 0;
  // The log to work on, before the log database is opened.
  virtual void LogNameKnown(const QString& log_name) = 0;
};

struct StartUpParameters {
  // The log to work on; empty: the one the logbook shows.
  QString log_name;
  // False: the settings only, without a logbook (the Club Log exchange).
  bool open_logbook = true;
};

// The program's start-up: the services' addresses, then from the logbook's
// registry keys its installation, the proxy, the TQSL path, the since-dates
// and the station location, then the current log from the logbook's ini
// file, the log database opened and the log's configuration loaded.
// `config` must name ProgramFolder. The first step that fails ends the
// sequence with its error (AppError); what was set until then stays.
void RunStartUp(Configuration& config, LogDatabase& database, StartUpRoad& road,
                const StartUpParameters& parameters = {});

// The section [Services] of the program's "qorv.ini" into the record, and its
// extra trusted certificates into every HTTP exchange. Read once, before the
// logbook's settings, so a start-up that fails still has them.
void ReadServices(Configuration& config);

// "host:port" as the system's Internet settings hold it: the host before the
// first ":", the port after it, both trimmed; without a ":" the whole value
// is the port.
void SplitProxyServer(const QString& value, QString* host, QString* port);

#endif  // QORVSYNC_SESSION_START_UP_H_
