// Waiting for the registry file's lock while another program (a real
// process, flock(1)) holds it: the thread's events keep running, the lock is
// taken once released, and a change that waited too long says why.
#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "platform/app_error.h"
#include "platform/registry.h"
#include "platform/text_codec.h"

namespace {

class FileLockTest : public testing::Test {
 protected:
  void SetUp() override {
    flock_ = QStandardPaths::findExecutable("flock");
    if (flock_.isEmpty()) GTEST_SKIP() << "flock(1) is missing";
    QDir().mkpath(dir_.filePath("registry"));
    path_ = dir_.filePath("registry/HKEY_CURRENT_USER.reg");
    WriteFileBytes(
        path_,
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vodrix_Log3]"
        "\n\"InstallPath\"=\"/home/op/\"\n");
  }
  void TearDown() override {
    holder_.kill();
    holder_.waitForFinished();
  }

  // Another program takes the file's lock and keeps it for `seconds`.
  void HoldElsewhere(const char* seconds) {
    const QString ready = dir_.filePath("ready");
    holder_.start(flock_,
                  {"-x", path_, "sh", "-c", "touch '" + ready + "'; exec sleep " + seconds});
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(ready) && waited.elapsed() < 10000) QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(ready));
  }

  QTemporaryDir dir_;
  QString flock_;
  QString path_;
  QProcess holder_;
};

TEST_F(FileLockTest, EventsRunWhileTheLockIsAwaited) {
  HoldElsewhere("1.5");
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(50);
  QElapsedTimer elapsed;
  elapsed.start();
  Registry registry(path_);
  ASSERT_TRUE(registry.OpenKey("Software\\Vodrix_Log3", false));
  registry.WriteString("QorvDate_Date", "45000");
  EXPECT_GE(elapsed.elapsed(), 1000);  // it did wait for the other program
  EXPECT_GE(ticks, 10);
  EXPECT_EQ(registry.ReadString("QorvDate_Date"), "45000");
}

TEST_F(FileLockTest, AWaitThatGivesUpSaysWhy) {
  HoldElsewhere("30");
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(50);
  {
    const FileLock lock(path_, std::chrono::milliseconds(600));
    EXPECT_FALSE(lock.Locked());
    EXPECT_TRUE(lock.GaveUp());
  }
  EXPECT_GE(ticks, 5);

  Registry registry(path_, std::chrono::milliseconds(1000));
  ASSERT_TRUE(registry.OpenKey("Software\\Vodrix_Log3", false));
  try {
    registry.WriteString("QorvDate_Date", "45000");
    ADD_FAILURE() << "written under another program's lock";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(),
              "Failed to set data for 'QorvDate_Date'\nAnother program kept the registry file " +
                  path_ + " locked for 1 s; nothing was written.");
  }
  EXPECT_FALSE(registry.ValueExists("QorvDate_Date"));
}

}  // namespace
