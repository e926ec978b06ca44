#include "platform/processes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "platform/text_codec.h"

namespace {

// Running programs under chosen file names: scripts and a copy of a binary.
class ProcessesTest : public testing::Test {
 protected:
  qint64 StartScript(const QString& name) {
    const QString path = dir_.filePath(name);
    // Waits on its standard input, which stays open: a script that forked
    // children would leave one under its name for a moment after it is killed.
    WriteFileBytes(path, "#!/bin/sh\nread line\n");
    return Start(path, {});
  }
  qint64 StartBinary(const QString& name) {
    const QString path = dir_.filePath(name);
    QFile::copy("/bin/sleep", path);
    return Start(path, {"30"});
  }
  qint64 Start(const QString& path, const QStringList& arguments) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(dir_.path());
    process->start(path, arguments);
    EXPECT_TRUE(process->waitForStarted()) << path.toStdString();
    processes_.push_back(std::move(process));
    return processes_.back()->processId();
  }
  void StopAll() {
    for (auto& process : processes_) {
      process->kill();
      process->waitForFinished();
    }
  }
  void TearDown() override { StopAll(); }

  QTemporaryDir dir_;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

const ProcessEntry* EntryOf(const QList<ProcessEntry>& list, qint64 pid) {
  for (const ProcessEntry& entry : list) {
    if (entry.pid == pid) return &entry;
  }
  return nullptr;
}

TEST_F(ProcessesTest, ScriptsAndProgramsAreListedUnderTheirFileNames) {
  const QString tag = QString::number(getpid());
  // 16 characters and more: the kernel's short name is cut, the file name is not.
  const QString long_name = "Qtest" + tag + "_Longname.exe";
  const qint64 script = StartScript(long_name);
  const qint64 binary = StartBinary("Bin" + tag + ".exe");
  const QList<ProcessEntry> list = ListProcesses();
  const ProcessEntry* script_entry = EntryOf(list, script);
  ASSERT_NE(script_entry, nullptr);
  EXPECT_EQ(script_entry->exe_name, long_name);
  EXPECT_EQ(script_entry->exe_path, dir_.filePath(long_name));
  const ProcessEntry* binary_entry = EntryOf(list, binary);
  ASSERT_NE(binary_entry, nullptr);
  EXPECT_EQ(binary_entry->exe_name, "Bin" + tag + ".exe");

  EXPECT_EQ(FindProcessId(long_name), script);
  EXPECT_EQ(FindProcessId("Bin" + tag + ".exe"), binary);
  StopAll();
  EXPECT_EQ(FindProcessId(long_name), 0);
  EXPECT_FALSE(IsProcessRunning(long_name));
}

TEST_F(ProcessesTest, TheLogbookIsFoundOnlyUnderItsExactName) {
  const qint64 lower = StartScript("vodrix_log3.exe");
  const qint64 found_with_lower_only = FindProcessId("Vodrix_Log3.exe");
  EXPECT_NE(found_with_lower_only, lower);
  EXPECT_EQ(FindProcessId("vodrix_log3.exe"), lower);

  const qint64 logbook = StartScript("Vodrix_Log3.exe");
  const qint64 found = FindProcessId("Vodrix_Log3.exe");
  ASSERT_NE(found, 0);
  ASSERT_NE(found, lower);
  // Another logbook may run beside the test; whichever is found has the name.
  EXPECT_EQ(EntryOf(ListProcesses(), found)->exe_name, "Vodrix_Log3.exe");
  if (found_with_lower_only == 0) {
    EXPECT_EQ(found, logbook);
  }
}

TEST_F(ProcessesTest, RunningCheckIgnoresCaseAndTakesFullPaths) {
  const QString tag = QString::number(getpid());
  StartScript("TQSL.EXE");
  const qint64 bare = StartScript("qtool" + tag);  // a Linux program without ".exe"
  struct Case {
    QString name;
    bool running;
  } cases[] = {
      {"tqsl.exe", true},
      {"TqSl.ExE", true},
      {dir_.filePath("tqsl.exe").toUpper(), true},
      {dir_.filePath("TQSL.EXE"), true},
      {"qtool" + tag + ".exe", true},
      {"QTOOL" + tag + ".EXE", true},
      {"qtool" + tag + ".ex", false},
      {"notrunning" + tag + ".exe", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsProcessRunning(c.name), c.running) << c.name.toStdString();
  }
  // The ".exe" rule also holds for the exact look-up, with letter case.
  EXPECT_EQ(FindProcessId("qtool" + tag + ".exe"), bare);
  EXPECT_EQ(FindProcessId("QTOOL" + tag + ".exe"), 0);
}

TEST_F(ProcessesTest, ShortNameFindsAProgramRunUnderAnotherExecutable) {
  // A Windows program under Wine runs as the loader: only /proc/PID/comm
  // carries its name. A shell renames itself the same way.
  const QString tag = QString::number(getpid() % 100000);
  const struct {
    QString comm;
    QString looked_for;
  } cases[] = {{"TQSL.EXE", "tqsl.exe"}, {"tqsl", "TQSL.EXE"}, {"Vodrix" + tag + ".exe", ""}};
  QList<qint64> pids;
  for (const auto& c : cases) {
    auto process = std::make_unique<QProcess>();
    // The name comes through the environment: on the command line it would
    // make the shell look like a script of that name.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SHORT_NAME", c.comm);
    process->setProcessEnvironment(environment);
    process->start("/bin/sh", {"-c", "printf '%s' \"$SHORT_NAME\" > /proc/$$/comm; read line"});
    ASSERT_TRUE(process->waitForStarted());
    pids.append(process->processId());
    processes_.push_back(std::move(process));
  }
  // Wait until every shell has renamed itself.
  for (int i = 0; i < 100; ++i) {
    const QList<ProcessEntry> list = ListProcesses();
    bool all = true;
    for (qsizetype k = 0; k < pids.size(); ++k) {
      const ProcessEntry* entry = EntryOf(list, pids[k]);
      all = all && entry != nullptr && entry->comm == cases[k].comm;
    }
    if (all) break;
    QThread::msleep(20);
  }
  for (const auto& c : cases) {
    if (c.looked_for.isEmpty()) continue;
    EXPECT_TRUE(IsProcessRunning(c.looked_for)) << c.comm.toStdString();
  }
  // The exact look-up takes the short name too, with its letter case.
  EXPECT_EQ(FindProcessId("Vodrix" + tag + ".exe"), pids[2]);
  EXPECT_EQ(FindProcessId("VODRIX" + tag + ".exe"), 0);
  EXPECT_NE(EntryOf(ListProcesses(), pids[2])->exe_name, "Vodrix" + tag + ".exe");
  StopAll();
  EXPECT_EQ(FindProcessId("Vodrix" + tag + ".exe"), 0);
}

}  // namespace
