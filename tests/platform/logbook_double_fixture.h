#ifndef QORVSYNC_TESTS_PLATFORM_LOGBOOK_DOUBLE_FIXTURE_H_
#define QORVSYNC_TESTS_PLATFORM_LOGBOOK_DOUBLE_FIXTURE_H_

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "support/logbook_installation.h"
#include "window/logbook_thread.h"

// A logbook double with the logs Home, Portable and a name longer than the
// selector's 19 characters, running in-process on its own socket.
class LogbookDoubleTest : public ::testing::Test {
 protected:
  static inline const QString kLongLog = QStringLiteral("Contest log 2024 field day");

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    socket_path_ = dir_.filePath(QStringLiteral("run/Vodrix_Log3.windows"));
    WriteLogbookInstallation(dir_.path(),
                             {{QStringLiteral("Home"), QStringLiteral("LogHome"), 6},
                              {QStringLiteral("Portable"), QStringLiteral("LogPortable"), 3},
                              {kLongLog, QStringLiteral("LogContest"), 1}},
                             QStringLiteral("Home"));
  }

  void StartLogbook(EntryWindowLayout layout = {}) {
    WindowTreeServer::Options options;
    options.install_dir = dir_.path();
    options.socket_path = socket_path_;
    options.layout = layout;
    logbook_ = std::make_unique<LogbookThread>(options);
  }

  WindowHandle Handle(const QString& name) {
    return logbook_->Call([&](WindowTreeServer& s) { return s.Tree().HandleOf(name); });
  }
  QString Number(const QString& name) { return QString::number(Handle(name)); }

  // The messages the double received, without the selector reads.
  QStringList Pokes() {
    QStringList pokes = logbook_->Call([](WindowTreeServer& s) { return s.Messages(); });
    pokes.removeIf([](const QString& m) { return m.startsWith(QLatin1String("GET_TEXT")); });
    return pokes;
  }

  QTemporaryDir dir_;
  QString socket_path_;
  std::unique_ptr<LogbookThread> logbook_;
};

#endif  // QORVSYNC_TESTS_PLATFORM_LOGBOOK_DOUBLE_FIXTURE_H_
