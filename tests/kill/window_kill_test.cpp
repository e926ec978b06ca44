// The window's Qorv download killed with SIGKILL, on a private X display:
// after each kill the log and the stored date hold a state the download may
// leave, and the next download from the window ends as one uninterrupted
// download ends in a second, identical installation.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <memory>
#include <random>

#include "kill/side_state.h"
#include "program_sandbox.h"
#include "x_display.h"

namespace {

const QPoint kBtnQorv = QPoint(0, 227) + QPoint(170 + 152 / 2, 40 + 25 / 2);
const QPoint kQorvTab(47, 10);
const QString kDateKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
constexpr int kActionMs = 60000;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's process in this test's PID namespace, and whether it has
// stopped itself at its kill point.
qint64 ProgramPid() {
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    if (ReadFile("/proc/" + pid + "/comm").trimmed() == "qorvsync") return pid.toLongLong();
  }
  return 0;
}

bool Stopped(qint64 pid) {
  const QByteArray stat = ReadFile("/proc/" + QString::number(pid) + "/stat");
  return stat.mid(stat.lastIndexOf(')') + 2, 1) == "T";
}

struct Outcome {
  QMap<QString, QString> rows;
  QString integrity;
  QString since;
  QString report;
  QByteArray errors;
};

Outcome OutcomeOf(const ProgramSandbox& sandbox) {
  Outcome outcome;
  outcome.rows = ReadSideState(sandbox.InstallPath() + "db", sandbox.InstallPath() + "db/logs.mdb",
                               &outcome.integrity)
                     .rows;
  outcome.since = sandbox.RegistryString(kDateKey, QStringLiteral("QorvDate_Date"));
  // The service stamps each report with the moment it was made.
  outcome.report = QString::fromLatin1(ReadFile(sandbox.InstallPath() + "Download/qorvreport.adi"))
                       .remove(QRegularExpression(QStringLiteral("\\nGenerated [^\\n]*")));
  outcome.errors = ReadFile(sandbox.ProgramFolder() + "QorvError.txt");
  return outcome;
}

class WindowKillTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(display_.Name().isEmpty()) << "Xvfb did not start";
    for (ProgramSandbox* sandbox : {&reference_, &killed_}) {
      const QList<LoggedQso> qsos =
          sandbox->PickQsos(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 0"), 120);
      ASSERT_EQ(qsos.size(), 120);
      sandbox->ServeQorv(QStringLiteral("N0CALL"), qsos, QStringLiteral("ZZ9ZZZ"));
      sandbox->StartLogbook();
      ASSERT_TRUE(sandbox->LogbookRuns());
    }
    start_ = OutcomeOf(killed_);
    ASSERT_EQ(start_.rows, OutcomeOf(reference_).rows) << "the two installations differ";
  }

  bool Download(ProgramSandbox& sandbox) {
    if (!sandbox.StartProgram()) return false;
    sandbox.Click(kQorvTab);
    const int reloads = sandbox.LogbookReloads();
    sandbox.Click(kBtnQorv);
    return sandbox.WaitUntil([&] { return sandbox.LogbookReloads() > reloads; }, kActionMs);
  }

  // Starts a download and kills the program once `reached` holds.
  void KillDownload(const QString& stop_at, const std::function<bool(qint64)>& reached) {
    qputenv("QORVSYNC_STOP_AT", stop_at.toUtf8());
    ASSERT_TRUE(killed_.StartProgram());
    qunsetenv("QORVSYNC_STOP_AT");
    const qint64 pid = ProgramPid();
    ASSERT_GT(pid, 0);
    killed_.Click(kQorvTab);
    killed_.Click(kBtnQorv);
    killed_.WaitUntil([&] { return reached(pid); }, kActionMs);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    killed_.WaitUntil([&] { return ProgramPid() == 0; }, kActionMs);
  }

  void CheckAfterKill(const Outcome& finished) {
    const Outcome now = OutcomeOf(killed_);
    EXPECT_EQ(now.integrity, "ok");
    EXPECT_EQ(now.rows.keys(), start_.rows.keys());
    for (auto row = now.rows.cbegin(); row != now.rows.cend(); ++row) {
      EXPECT_TRUE(*row == start_.rows.value(row.key()) || *row == finished.rows.value(row.key()))
          << row.key().toStdString() << " half changed";
    }
    EXPECT_TRUE(now.since == start_.since || now.since == finished.since)
        << now.since.toStdString();
    EXPECT_TRUE(now.report.isEmpty() || now.report == finished.report);
    EXPECT_TRUE(now.errors.isEmpty() || now.errors == finished.errors);
  }

  XDisplay display_;
  ProgramSandbox reference_{display_};
  ProgramSandbox killed_{display_};
  Outcome start_;
};

TEST_F(WindowKillTest, DownloadKilledInTheWindowLosesNothingAndTheNextEndsAsOneRunWould) {
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(Download(reference_));
  const int run_ms = static_cast<int>(timer.elapsed());
  const Outcome finished = OutcomeOf(reference_);
  ASSERT_NE(finished.rows, start_.rows);
  ASSERT_NE(finished.since, start_.since);
  // From here on the only qorvsync in this PID namespace is the one killed.
  ASSERT_TRUE(reference_.CloseProgram());

  // Marks committed, nothing else done yet; then the report and the error
  // list in place and the new date's file written, but not yet renamed.
  for (const QString& point : {QStringLiteral("commit:1"), QStringLiteral("rename:3")}) {
    SCOPED_TRACE(point.toStdString());
    KillDownload(point, Stopped);
    CheckAfterKill(finished);
  }
  const unsigned seed = std::random_device()();
  std::mt19937 random(seed);
  const int ms = std::uniform_int_distribution<int>(0, run_ms)(random);
  std::cout << "window killed " << ms << " ms after the click (seed " << seed
            << "; one download: " << run_ms << " ms with start-up)" << std::endl;
  QElapsedTimer since_click;
  KillDownload(QString(), [&](qint64) {
    if (!since_click.isValid()) since_click.start();
    return since_click.elapsed() >= ms;
  });
  CheckAfterKill(finished);

  const bool moved = OutcomeOf(killed_).since != start_.since;
  ASSERT_TRUE(Download(killed_));
  const Outcome rerun = OutcomeOf(killed_);
  EXPECT_EQ(rerun.rows, finished.rows);
  EXPECT_EQ(rerun.since, finished.since);
  EXPECT_EQ(rerun.errors, finished.errors);
  // A date already moved asks only for what came since: another report.
  if (!moved) EXPECT_EQ(rerun.report, finished.report);
}

}  // namespace
