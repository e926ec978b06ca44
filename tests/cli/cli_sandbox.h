#ifndef QORVSYNC_TESTS_CLI_CLI_SANDBOX_H_
#define QORVSYNC_TESTS_CLI_CLI_SANDBOX_H_

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>

#include "create/logbook_schema.h"

class ServiceDoubleProcess;
class TfrmMain;
class ScriptedDialogs;

// What a run of the real program on the command line gave.
struct CommandRun {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

// Runs `program` with no terminal and the given environment; a run still
// going after `timeout_ms` is killed and gives exit code -1.
CommandRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeout_ms = 60000);

// One logbook with everything around it, in a folder of its own: the
// installation (log set "HOME" with the logs "Main" and "Portable"), the
// registry file that points at it, and a program folder holding a copy of
// qorvsync, "Submode.txt" and a "qorv.ini" whose [Services] name the service
// double and whose stored element values tick "Update QTH locator" and the
// county into State2. The TQSL double signs for the station location "Home".
class LogbookSide {
 public:
  LogbookSide(const QString& root, const ServiceDoubleProcess& service, const QList<Qso>& main_qsos,
              const QList<Qso>& portable_qsos);
  ~LogbookSide();
  LogbookSide(const LogbookSide&) = delete;
  LogbookSide& operator=(const LogbookSide&) = delete;

  QString Install() const { return root_ + QStringLiteral("/logbook/"); }
  QString Program() const { return root_ + QStringLiteral("/program/"); }
  QString ConfigHome() const { return root_ + QStringLiteral("/config"); }
  QString RuntimeDir() const { return root_ + QStringLiteral("/runtime"); }
  QString EmptyBin() const { return root_ + QStringLiteral("/bin"); }
  QString TqslDir() const { return root_ + QStringLiteral("/tqsl"); }
  QString Database() const { return Install() + QStringLiteral("db/logs.mdb"); }

  // The program without a display or a terminal, as a timer starts it.
  CommandRun Run(const QStringList& arguments, int timeout_ms = 60000) const;
  QProcessEnvironment Environment() const;

  // Points this process's registry, runtime and TQSL folders and its PATH at
  // this side, for a window made in the test; PATH comes back with the side.
  void UseInThisProcess() const;

  // Every row of every log table, as text, in table and rowid order.
  QStringList Rows() const;
  // A value of "Software\Vodrix_Log3\TfmSendQSOstoQorv".
  QString StoredDate(const QString& name) const;
  void SetStoredDate(const QString& name, const QString& value) const;

 private:
  QString root_;
  mutable bool path_changed_ = false;
  mutable QByteArray saved_path_;
};

// A main window on this side as a user has it after start-up: the real
// start-up over the side's registry, its stored options restored, the
// program's actions (without the log poll and the logbook nudges).
std::unique_ptr<TfrmMain> OpenWindow(const LogbookSide& side, ScriptedDialogs& dialogs);

#endif  // QORVSYNC_TESTS_CLI_CLI_SANDBOX_H_
