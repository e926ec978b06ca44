#ifndef QORVSYNC_TESTS_APP_LOGBOOK_FIXTURE_H_
#define QORVSYNC_TESTS_APP_LOGBOOK_FIXTURE_H_

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "app/tfrm_main.h"
#include "platform/registry.h"
#include "support/scripted_dialogs.h"

// A machine of its own for each test: a registry file, a runtime folder for
// the logbook's window-link socket, a program folder and an installation
// folder. The main window runs the program's real start-up, and the logbook
// double runs as a real process when a test starts it.
class LogbookTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // `Vodrix_Log3.exe --create` into InstallFolder(): registry values, ini
  // file and database with the logs Home, Portable, Contest (set "Main") and
  // Club (set "Club").
  void CreateInstallation();
  // Runs the logbook double on the installation; waits for its socket.
  void StartLogbook();
  // One request to the running double (test requests X_SELECT_LOG, X_STATE,
  // X_MESSAGES included); the reply's fields.
  QStringList LogbookRequest(const QStringList& fields) const;
  // The window messages the double received, without the selector reads.
  QStringList LogbookPokes() const;

  // The registry key opened (created when missing) for writing values.
  Registry RegistryKey(const QString& key) const;

  // Processes are looked for among this test's own children only, so a
  // logbook double another test runs on the same machine is not seen.
  static qint64 FindOwnChild(const QString& exe_name);

  // The main window, created as the program creates it, with start-up using
  // the test's program folder and process finder.
  TfrmMain& Create(MainActions actions,
                   std::function<qint64(const QString&)> finder = FindOwnChild);

  // An element of the main window by its name.
  template <typename T>
  T* Find(const char* name) const {
    T* element = window_->findChild<T*>(QLatin1String(name));
    EXPECT_NE(element, nullptr) << name;
    return element;
  }

  // Lets events run until `done` holds or `ms` milliseconds have passed.
  static bool WaitFor(const std::function<bool()>& done, int ms);

  QString ProgramFolder() const { return root_.filePath(QStringLiteral("program/")); }
  QString InstallFolder() const { return root_.filePath(QStringLiteral("install/")); }
  QString DatabaseFile() const { return InstallFolder() + QStringLiteral("db/logs.mdb"); }
  QString SocketPath() const { return root_.filePath(QStringLiteral("run/Vodrix_Log3.windows")); }

  QTemporaryDir root_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<TfrmMain> window_;
  std::unique_ptr<QProcess> logbook_;

 private:
  std::vector<std::pair<QByteArray, QByteArray>> saved_env_;
};

#endif  // QORVSYNC_TESTS_APP_LOGBOOK_FIXTURE_H_
