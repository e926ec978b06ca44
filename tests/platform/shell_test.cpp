#include "platform/shell.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "platform/operation_abandon.h"
#include "platform/text_codec.h"

namespace {

constexpr QFile::Permissions kExecutable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A program that writes its working folder and its arguments, one a line, to
// the file named by its first argument.
const char kArgvWriter[] =
    "#!/bin/sh\n"
    "out=$1\n"
    "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
    "mv \"$out.part\" \"$out\"\n";

QString WriteProgram(const QString& path, const QByteArray& text) {
  WriteFileBytes(path, text);
  QFile::setPermissions(path, kExecutable);
  return path;
}

QByteArray WaitForFile(const QString& path) {
  QElapsedTimer timer;
  timer.start();
  while (!QFile::exists(path) && timer.elapsed() < 10000) QThread::msleep(20);
  return QFile::exists(path) ? ReadFileBytes(path) : QByteArray();
}

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  struct Case {
    QString parameters;
    QStringList arguments;
  } cases[] = {
      {R"(-d -l "Home QTH" "/home/op/Qorv Logs/a.adi" -x)",
       {"-d", "-l", "Home QTH", "/home/op/Qorv Logs/a.adi", "-x"}},
      {"  a \t b  ", {"a", "b"}},
      {"", {}},
      {R"("")", {""}},
      {R"(a"b c"d)", {"ab cd"}},
      {R"(a\b c\\d)", {R"(a\b)", R"(c\\d)"}},
      {R"(a\"b)", {R"(a"b)"}},
      {R"(a\\"b c")", {R"(a\b c)"}},
      {R"(a\\\"b)", {R"(a\"b)"}},
      {R"("C:\Logs\\" next)", {R"(C:\Logs\)", "next"}},
      {R"("say ""hi""")", {R"(say "hi")"}},
      {R"("open end)", {"open end"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.parameters), c.arguments) << c.parameters.toStdString();
  }
}

class ShellTest : public testing::Test {
 protected:
  QTemporaryDir dir_;
  DesktopShell shell_;
};

TEST_F(ShellTest, StartProgramRunsDetachedInItsFolderWithSplitArguments) {
  const QString program = WriteProgram(dir_.filePath("writer.exe"), kArgvWriter);
  QDir().mkpath(dir_.filePath("work folder"));
  const QString out = dir_.filePath("argv.txt");
  QString error;
  ASSERT_TRUE(shell_.StartProgram(program, '"' + out + "\" -l \"Home QTH\" a\\\"b",
                                  dir_.filePath("work folder"), &error))
      << error.toStdString();
  EXPECT_EQ(WaitForFile(out),
            (dir_.filePath("work folder") + "\n" + out + "\n-l\nHome QTH\na\"b\n").toUtf8());
}

TEST_F(ShellTest, AProgramThatCannotStartGivesTheSystemError) {
  const QString program = WriteProgram(dir_.filePath("writer"), kArgvWriter);
  WriteFileBytes(dir_.filePath("text.txt"), "not a program");
  WriteProgram(dir_.filePath("garbage"), QByteArray("\x7f\x01\x02garbage", 10));
  struct Case {
    QString program;
    QString folder;
    QString error;
  } cases[] = {
      {dir_.filePath("missing"), "", "System Error.  Code: 2.\nNo such file or directory"},
      {dir_.filePath("text.txt"), "", "System Error.  Code: 13.\nPermission denied"},
      {dir_.filePath("garbage"), "", "System Error.  Code: 8.\nExec format error"},
      {program, dir_.filePath("no folder"), "System Error.  Code: 2.\nNo such file or directory"},
  };
  for (const Case& c : cases) {
    QString error;
    EXPECT_FALSE(shell_.StartProgram(c.program, "", c.folder, &error));
    EXPECT_EQ(error, c.error) << c.program.toStdString();
  }
}

TEST_F(ShellTest, RunAndWaitKeepsEventsRunningAndGivesTheExitCode) {
  const QString program =
      WriteProgram(dir_.filePath("slow"), "#!/bin/sh\nsleep 0.4\nexit \"$1\"\n");
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  ProgramRun run;
  run.arguments = QStringList{"7"};
  quint32 exit_code = 0;
  ASSERT_EQ(shell_.RunAndWait(program, run, &exit_code), RunEnd::kExited);
  EXPECT_EQ(exit_code, 7u);
  EXPECT_GE(ticks, 5);

  EXPECT_EQ(shell_.RunAndWait(dir_.filePath("missing"), {}, &exit_code), RunEnd::kNotStarted);
  EXPECT_EQ(exit_code, 1u);

  // A program killed by a signal did not end its work, whatever it wrote.
  const QString killed = WriteProgram(dir_.filePath("killed"), "#!/bin/sh\nkill -9 $$\n");
  EXPECT_EQ(shell_.RunAndWait(killed, {}, &exit_code), RunEnd::kKilled);
}

TEST_F(ShellTest, RunAndWaitOfAnAbandonedOperationEndsTheProgram) {
  const QString pid_file = dir_.filePath("pid");
  const QString program = WriteProgram(
      dir_.filePath("stuck"), "#!/bin/sh\necho $$ > '" + pid_file.toUtf8() + "'\nexec sleep 30\n");
  // Abandoned once the program has said who it is, however slow the machine.
  QElapsedTimer since_abandon;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!since_abandon.isValid() && QFile::exists(pid_file) &&
        ReadFileBytes(pid_file).endsWith('\n')) {
      since_abandon.start();
      RequestAbandon();
    }
  });
  watch.start(20);
  quint32 exit_code = 0;
  EXPECT_EQ(shell_.RunAndWait(program, {}, &exit_code), RunEnd::kStopped);
  ASSERT_TRUE(since_abandon.isValid());
  EXPECT_LT(since_abandon.elapsed(), 1500);
  watch.stop();
  ClearAbandon();
  const pid_t pid = ReadFileBytes(pid_file).trimmed().toInt();
  ASSERT_GT(pid, 0);
  EXPECT_NE(::kill(pid, 0), 0);  // ended and reaped
}

TEST_F(ShellTest, RunAndWaitEndsTheProgramAtItsTimeLimit) {
  const QString pid_file = dir_.filePath("pid");
  const QString program =
      WriteProgram(dir_.filePath("stuck"), "#!/bin/sh\necho \"$$ $QORV_TEST_WORD\" > '" +
                                               pid_file.toUtf8() + "'\nexec sleep 30\n");
  ProgramRun run;
  run.environment = QProcessEnvironment::systemEnvironment();
  run.environment.insert("QORV_TEST_WORD", "given");
  // Long enough for even a busy machine to start the script.
  run.time_limit = std::chrono::milliseconds(2000);
  QElapsedTimer elapsed;
  elapsed.start();
  quint32 exit_code = 0;
  EXPECT_EQ(shell_.RunAndWait(program, run, &exit_code), RunEnd::kTimedOut);
  EXPECT_GE(elapsed.elapsed(), 2000);
  EXPECT_LT(elapsed.elapsed(), 8000);
  EXPECT_EQ(exit_code, 1u);
  const QList<QByteArray> said = ReadFileBytes(pid_file).trimmed().split(' ');
  ASSERT_EQ(said.size(), 2);
  EXPECT_EQ(said[1], "given");               // the environment it was given
  EXPECT_NE(::kill(said[0].toInt(), 0), 0);  // ended and reaped

  // A program that ends in time is not touched by its limit.
  const QString quick = WriteProgram(dir_.filePath("quick"), "#!/bin/sh\nexit 3\n");
  EXPECT_EQ(shell_.RunAndWait(quick, run, &exit_code), RunEnd::kExited);
  EXPECT_EQ(exit_code, 3u);
}

TEST_F(ShellTest, ResolveProgramLooksBareNamesUpInPath) {
  const QByteArray old_path = qgetenv("PATH");
  const QString bin = dir_.filePath("bin");
  QDir().mkpath(bin);
  WriteProgram(bin + "/tqsl", "#!/bin/sh\n");
  WriteProgram(bin + "/both", "#!/bin/sh\n");
  WriteProgram(bin + "/both.exe", "#!/bin/sh\n");
  qputenv("PATH", (bin + ":" + old_path).toUtf8());
  const QString old_current = QDir::currentPath();
  QDir::setCurrent(dir_.path());
  struct Case {
    QString program;
    QString resolved;
  } cases[] = {
      {"tqsl.exe", bin + "/tqsl"},
      {"tqsl", bin + "/tqsl"},
      {"both.exe", bin + "/both.exe"},
      {"TQSL.EXE", ""},
      {"nothing.exe", ""},
      {"bin/tqsl", bin + "/tqsl"},
      {bin + "/tqsl.exe", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveProgram(c.program), c.resolved) << c.program.toStdString();
  }
  qputenv("PATH", old_path);
  QDir::setCurrent(old_current);
}

}  // namespace
