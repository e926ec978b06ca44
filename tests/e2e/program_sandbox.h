#ifndef QORVSYNC_TESTS_E2E_PROGRAM_SANDBOX_H_
#define QORVSYNC_TESTS_E2E_PROGRAM_SANDBOX_H_

#include <QList>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <memory>

#include "x_display.h"

// One QSO of a log table, as the tests pick it for a confirmation.
struct LoggedQso {
  qint64 id = 0;
  QString call;
  QString date;  // YYYY-MM-DD
  QString time;  // HH:MM
  QString band;  // ADIF band name
  QString mode;
};

// Everything one run of the real program needs, in a temporary folder of its
// own with private XDG folders and HOME: a logbook installation made by the
// logbook double (which also runs as the logbook), the service double with
// its accounts, the TQSL double with a station location, and a copy of the
// program folder whose "qorv.ini" points at the service double. Processes it
// starts are stopped at the end.
class ProgramSandbox {
 public:
  explicit ProgramSandbox(const XDisplay& display);
  ~ProgramSandbox();
  ProgramSandbox(const ProgramSandbox&) = delete;
  ProgramSandbox& operator=(const ProgramSandbox&) = delete;

  QString InstallPath() const { return root_ + QStringLiteral("/Vodrix_Log3/"); }
  QString ProgramFolder() const { return root_ + QStringLiteral("/program/"); }
  QString ServicesFolder() const { return root_ + QStringLiteral("/services/"); }
  QString RegistryFile() const;
  // Paths the fake text editor and browser were asked to open, one per line.
  QStringList OpenedByDesktop() const;

  // The service double's confirmations for an account.
  void ServeQorv(const QString& login, const QList<LoggedQso>& qsos, const QString& unmatched_call);
  void ServeEqsl(const QString& login, const QList<LoggedQso>& qsos,
                 const QStringList& unmatched_calls);

  // A line of the program's "qorv.ini" replaced, or added to its section.
  void SetSetting(const QString& section, const QString& key, const QString& value);

  void StartLogbook();
  void StopLogbook();
  // Starts qorvsync and waits for its window; false when it does not appear.
  bool StartProgram();
  // Asks the window to close and waits for the program's end.
  bool CloseProgram();
  const QString& MainWindow() const { return main_window_; }
  QString Caption() const { return display_.WindowName(main_window_); }

  // A click at a point of the main window's client area.
  void Click(QPoint point) const { display_.Click(main_window_, point); }
  // Windows of the program other than the main window and the Club Log reply
  // window: message boxes and the file dialog.
  QStringList DialogWindows() const;
  QString ReplyWindow() const;

  // Runs the event pump of the test until `done` holds or `ms` pass,
  // answering every message box with Return meanwhile. Returns `done()`.
  bool WaitUntil(const std::function<bool()>& done, int ms);
  // The texts (captions) of the message boxes answered so far.
  const QStringList& AnsweredBoxes() const { return answered_boxes_; }

  // The logbook double's test requests.
  QString LogbookRequest(const QString& request) const;
  int LogbookReloads() const;
  // True while a logbook answers on the sandbox's window-link socket.
  bool LogbookRuns() const;

  // Log database and registry, read afresh.
  QList<LoggedQso> PickQsos(const QString& table, const QString& condition, int count) const;
  QVariant Scalar(const QString& sql) const;
  bool Execute(const QString& sql) const;
  QString RegistryString(const QString& key, const QString& name) const;

 private:
  QProcessEnvironment Environment() const;
  bool IsMainWindow(const QString& window) const;
  void WithDatabase(const std::function<void(QSqlDatabase&)>& work) const;
  void CreateInstallation();
  void WriteDesktopFakes();
  void StartServices();
  void WriteProgramFolder();
  void StopProcess(QProcess& process) const;

  const XDisplay& display_;
  QTemporaryDir dir_;
  QString root_;
  QString https_base_;
  QString http_base_;
  std::unique_ptr<QProcess> services_;
  std::unique_ptr<QProcess> logbook_;
  std::unique_ptr<QProcess> program_;
  QString main_window_;
  QStringList answered_boxes_;
};

#endif  // QORVSYNC_TESTS_E2E_PROGRAM_SANDBOX_H_
