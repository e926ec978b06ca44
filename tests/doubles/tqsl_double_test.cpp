// The TQSL double: signs for a known station location, refuses an unknown
// one, and follows its environment switches.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/service_double_process.h"
#include "signed_log.h"

namespace {

constexpr char kAdif[] = "<EOH>\r\n<CALL:5>ABCDE<EOR>\r\n<CALL:5>FGHIJ<eor>\r\n";

class TqslDoubleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    home_ = dir_.filePath("home");
    QDir().mkpath(home_ + "/.tqsl");
    Write(home_ + "/.tqsl/station_data",
          "<StationDataFile>\n<StationData name=\"Home\">\n<CALL>W1AW</CALL>\n"
          "<GRIDSQUARE>FN31</GRIDSQUARE>\n</StationData>\n"
          "<StationData name=\"My Portable\"><CALL>W1AW/P</CALL></StationData>\n"
          "</StationDataFile>\n");
    QDir().mkpath(dir_.filePath("Qorv Logs"));
    adif_ = dir_.filePath("Qorv Logs/Qorv_ADIF_20211020.adi");
    tq8_ = dir_.filePath("Qorv Logs/Qorv_ADIF_20211020.tq8");
    Write(adif_, kAdif);
  }

  static void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  // Runs the double with HOME pointing at the test's station data.
  QProcess* Run(const QStringList& args, const QMap<QString, QString>& env = {}) {
    auto* process = new QProcess;
    processes_.emplace_back(process);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_);
    environment.remove("TQSLDIR");
    for (auto it = env.begin(); it != env.end(); ++it) environment.insert(it.key(), it.value());
    process->setProcessEnvironment(environment);
    process->start(ToolPath("tqsl-double/tqsl"), args);
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
  }

  QStringList SignArgs(const QString& location) const {
    return {"-d", "-l", location, adif_, "-x"};
  }

  QTemporaryDir dir_;
  QString home_, adif_, tq8_;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

std::optional<SignedLog> ReadTq8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QString error;
  return ReadSignedLog(file.readAll(), &error);
}

TEST_F(TqslDoubleTest, SignsForAKnownLocationBesideTheFile) {
  for (const QString location : {"Home", "My Portable"}) {
    QFile::remove(tq8_);
    QProcess* tqsl = Run(SignArgs(location));
    ASSERT_TRUE(tqsl->waitForFinished(10000));
    EXPECT_EQ(tqsl->exitCode(), 0);
    const std::optional<SignedLog> log = ReadTq8(tq8_);
    ASSERT_TRUE(log.has_value()) << location.toStdString();
    EXPECT_EQ(log->location, location);
    EXPECT_EQ(log->callsign, location == "Home" ? "W1AW" : "W1AW/P");
    EXPECT_EQ(log->adif, kAdif);
    EXPECT_EQ(log->qso_count, 2);
  }
}

TEST_F(TqslDoubleTest, StationDataFolderFromTqsldir) {
  QDir().mkpath(dir_.filePath("tqsldir"));
  Write(dir_.filePath("tqsldir/station_data"),
        "<StationDataFile><StationData name=\"Club\"><CALL>K1CLB</CALL></StationData>"
        "</StationDataFile>");
  QProcess* known = Run(SignArgs("Club"), {{"TQSLDIR", dir_.filePath("tqsldir")}});
  ASSERT_TRUE(known->waitForFinished(10000));
  EXPECT_EQ(ReadTq8(tq8_)->callsign, "K1CLB");
}

TEST_F(TqslDoubleTest, WritesNothingForAnUnknownLocationOrBadCall) {
  const QList<QStringList> calls = {
      SignArgs("Nowhere"),
      SignArgs("home"),   // names compare exactly
      SignArgs(" Home"),  // the caller trims, not TQSL
      {"-d", "-l", "Home", "-x"},
      {"-d", "-l", "Home", dir_.filePath("Qorv Logs/missing.adi"), "-x"},
  };
  for (const QStringList& args : calls) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QProcess* tqsl = Run(args);
    ASSERT_TRUE(tqsl->waitForFinished(10000));
    EXPECT_NE(tqsl->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(tq8_));
  }
  QProcess* no_station_data = Run(SignArgs("Home"), {{"TQSLDIR", dir_.filePath("none")}});
  ASSERT_TRUE(no_station_data->waitForFinished(10000));
  EXPECT_NE(no_station_data->exitCode(), 0);
  EXPECT_FALSE(QFile::exists(tq8_));
}

TEST_F(TqslDoubleTest, EnvironmentSwitches) {
  enum class Tq8 { kNone, kEmpty, kSigned };
  struct Case {
    const char* mode;
    QProcess::ExitStatus status;
    int exit_code;
    Tq8 file;
  };
  const Case cases[] = {
      {"fail", QProcess::NormalExit, 1, Tq8::kNone},
      {"nofile", QProcess::NormalExit, 0, Tq8::kNone},
      {"empty", QProcess::NormalExit, 0, Tq8::kEmpty},
      {"signerror", QProcess::NormalExit, 1, Tq8::kSigned},
      {"crash", QProcess::CrashExit, -1, Tq8::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    QFile::remove(tq8_);
    QProcess* tqsl = Run(SignArgs("Home"), {{"TQSL_DOUBLE_MODE", c.mode}});
    ASSERT_TRUE(tqsl->waitForFinished(10000));
    EXPECT_EQ(tqsl->exitStatus(), c.status);
    if (c.status == QProcess::NormalExit) {
      EXPECT_EQ(tqsl->exitCode(), c.exit_code);
    }
    EXPECT_EQ(QFile::exists(tq8_), c.file != Tq8::kNone);
    if (c.file == Tq8::kEmpty) {
      EXPECT_EQ(QFileInfo(tq8_).size(), 0);
    }
    if (c.file == Tq8::kSigned) {
      EXPECT_TRUE(ReadTq8(tq8_).has_value());
    }
  }
}

TEST_F(TqslDoubleTest, SlowHangingAndDisplaySwitches) {
  QElapsedTimer timer;
  timer.start();
  QProcess* slow = Run(SignArgs("Home"), {{"TQSL_DOUBLE_DELAY_MS", "600"}});
  ASSERT_TRUE(slow->waitForFinished(10000));
  EXPECT_GE(timer.elapsed(), 600);
  EXPECT_TRUE(ReadTq8(tq8_).has_value());
  QFile::remove(tq8_);

  QProcess* hanging = Run(SignArgs("Home"), {{"TQSL_DOUBLE_MODE", "hang"}});
  EXPECT_FALSE(hanging->waitForFinished(800));
  hanging->kill();
  ASSERT_TRUE(hanging->waitForFinished(5000));
  EXPECT_FALSE(QFile::exists(tq8_));

  QProcess* headless =
      Run(SignArgs("Home"),
          {{"TQSL_DOUBLE_NEED_DISPLAY", "1"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  ASSERT_TRUE(headless->waitForFinished(10000));
  EXPECT_EQ(headless->exitCode(), 255);
  EXPECT_FALSE(QFile::exists(tq8_));
}

TEST_F(TqslDoubleTest, RunWithoutArgumentsEndsByItselfAndRunsAreLogged) {
  const QString log = dir_.filePath("tqsl.log");
  QElapsedTimer timer;
  timer.start();
  QProcess* bare = Run({}, {{"TQSL_DOUBLE_LOG", log}});
  ASSERT_TRUE(bare->waitForFinished(5000));
  EXPECT_EQ(bare->exitCode(), 0);
  EXPECT_LT(timer.elapsed(), 3000);
  QProcess* sign = Run(SignArgs("My Portable"), {{"TQSL_DOUBLE_LOG", log}});
  ASSERT_TRUE(sign->waitForFinished(5000));
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "run\nrun\t-d\t-l\tMy Portable\t" + adif_.toUtf8() + "\t-x\n");
}

}  // namespace
