#ifndef QORVSYNC_TESTS_APP_APP_TEST_SUPPORT_H_
#define QORVSYNC_TESTS_APP_APP_TEST_SUPPORT_H_

#include <QDateTime>
#include <QStringList>

#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/shell.h"

// Regional settings for one test.
class ScopedRegionalSettings {
 public:
  explicit ScopedRegionalSettings(const RegionalSettings& settings)
      : previous_(CurrentRegionalSettings()) {
    SetRegionalSettings(settings);
  }
  ~ScopedRegionalSettings() { SetRegionalSettings(previous_); }

 private:
  RegionalSettings previous_;
};

// The desktop's browser and editor, recorded instead of opened.
class RecordingShell : public Shell {
 public:
  RecordingShell() { SetProgramShell(this); }
  ~RecordingShell() override { SetProgramShell(nullptr); }

  void OpenUrl(const QString& url) override { urls.append(url); }
  void OpenTextFile(const QString& path) override { text_files.append(path); }
  bool StartProgram(const QString&, const QString&, const QString&, QString* error) override {
    *error = QStringLiteral("not started in tests");
    return false;
  }
  RunEnd RunAndWait(const QString&, const ProgramRun&, quint32*) override {
    return RunEnd::kNotStarted;
  }

  QStringList urls;
  QStringList text_files;
};

// A clock that stands still at a given moment.
class FixedClock : public Clock {
 public:
  explicit FixedClock(const QDateTime& utc) : utc_(utc) { SetProgramClock(this); }
  ~FixedClock() override { SetProgramClock(nullptr); }

  QDateTime NowUtc() const override { return utc_; }
  QDateTime NowLocal() const override { return utc_.toLocalTime(); }
  quint32 TickCount() const override { return 0; }

 private:
  QDateTime utc_;
};

#endif  // QORVSYNC_TESTS_APP_APP_TEST_SUPPORT_H_
