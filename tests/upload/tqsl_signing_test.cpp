// Signing with the TQSL double, a real process: the command line it gets, the
// signed file as the only judge, a slow TQSL with the event loop still
// running, the bare "tqsl.exe" opened from the program folder only, and a quit
// during the wait.
#include "upload/tqsl_signing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include "platform/text_codec.h"
#include "upload/station_locations.h"
#include "upload/upload_fixture.h"

namespace {

class TqslSigningTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    ASSERT_TRUE(QDir().mkpath(ExportFolder()));
    export_ = ExportFolder() + "/Qorv_ADIF_20240305070809.adi";
    signed_ = ExportFolder() + "/Qorv_ADIF_20240305070809.tq8";
    WriteFileBytes(export_, "<EOH>\r\n<CALL:4>W1AW<EOR>\r\n");
    log_ = root_.filePath("tqsl.log");
    SetEnv("TQSL_DOUBLE_LOG", QFile::encodeName(log_));
  }

  SigningEnd Sign(const QString& tqsl_path, const QString& location = "Home") {
    return SignExportFile(tqsl_path, location, export_, program_);
  }

  QStringList LoggedRuns() const {
    return QFile::exists(log_)
               ? QString::fromUtf8(ReadFileBytes(log_)).split('\n', Qt::SkipEmptyParts)
               : QStringList();
  }

  QString export_, signed_, log_;
};

TEST_F(TqslSigningTest, PathsAndParameters) {
  EXPECT_EQ(SignedFilePath("/a/Qorv Logs/Qorv_ADIF_1.adi"), "/a/Qorv Logs/Qorv_ADIF_1.tq8");
  EXPECT_EQ(SignedFilePath("/a.b/file"), "/a.b/file.tq8");
  EXPECT_EQ(TqslArguments("  My Home \t", "/a/Qorv Logs/x.adi"),
            (QStringList{"-d", "-l", "My Home", "/a/Qorv Logs/x.adi", "-x"}));
}

TEST_F(TqslSigningTest, LocationFromTheStationDataReachesTqslAsOneArgument) {
  // Quotes, "&" and a would-be option: TQSL gets the name exactly as it keeps it.
  WriteFileBytes(tqsl_dir_ + "/station_data",
                 "<StationDataFile><StationData name=\"Home &amp; &quot;Away&quot; -x\">"
                 "<CALL>N0CALL</CALL></StationData></StationDataFile>\n");
  const QStringList names = ReadStationLocations(tqsl_dir_ + "/station_data");
  ASSERT_EQ(names, QStringList{"Home & \"Away\" -x"});
  EXPECT_EQ(Sign(request_.tqsl_path, names[0]), SigningEnd::kSigned);
  ASSERT_EQ(LoggedRuns().size(), 1);
  EXPECT_EQ(LoggedRuns()[0], "run\t-d\t-l\tHome & \"Away\" -x\t" + export_ + "\t-x");
}

TEST_F(TqslSigningTest, SignedFileDecidesWhateverTheExitCode) {
  const struct {
    const char* mode;
    SigningEnd end;
  } cases[] = {{"", SigningEnd::kSigned},
               {"signerror", SigningEnd::kSigned},
               {"nofile", SigningEnd::kNotCreated},
               {"fail", SigningEnd::kNotCreated},
               {"crash", SigningEnd::kNotCreated}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    QFile::remove(signed_);
    ScopedEnv mode("TQSL_DOUBLE_MODE", c.mode);
    EXPECT_EQ(Sign(request_.tqsl_path, "  Home "), c.end);
    EXPECT_EQ(QFile::exists(signed_), c.end == SigningEnd::kSigned);
  }
  // The location went without its blanks, the file path as one argument.
  ASSERT_FALSE(LoggedRuns().isEmpty());
  EXPECT_EQ(LoggedRuns()[0], "run\t-d\t-l\tHome\t" + export_ + "\t-x");
}

TEST_F(TqslSigningTest, TqslThatCannotBeStartedWritesNothing) {
  EXPECT_EQ(Sign(root_.filePath("no/such/tqsl")), SigningEnd::kNotCreated);
  // Used as typed: surrounding blanks make it another path.
  EXPECT_EQ(Sign(" " + request_.tqsl_path), SigningEnd::kNotCreated);
  EXPECT_TRUE(LoggedRuns().isEmpty());
}

TEST_F(TqslSigningTest, SlowTqslKeepsEventsRunning) {
  SetEnv("TQSL_DOUBLE_DELAY_MS", "1500");
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(50);
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_EQ(Sign(request_.tqsl_path), SigningEnd::kSigned);
  EXPECT_GE(elapsed.elapsed(), 1400);
  EXPECT_GE(ticks, 10);
}

TEST_F(TqslSigningTest, BareTqslIsOpenedOnlyFromTheProgramFolder) {
  // A "tqsl" stands for TQSL's own window: it notes the folder it started in.
  const QString marker = root_.filePath("opened");
  const QByteArray script = "#!/bin/sh\necho \"$PWD/\" >> '" + QFile::encodeName(marker) + "'\n";
  const auto install = [&script](const QString& path) {
    WriteFileBytes(path, script);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  auto opened_in = [&marker] {
    return QFile::exists(marker) ? QString::fromLocal8Bit(ReadFileBytes(marker)) : QString();
  };

  // One in PATH is never opened: it would stay open and block the next upload.
  install(root_.filePath("bin/tqsl"));
  EXPECT_EQ(Sign(request_.tqsl_path), SigningEnd::kSigned);
  QThread::msleep(500);
  EXPECT_EQ(opened_in(), "");

  for (const char* name : {"tqsl.exe", "tqsl"}) {
    SCOPED_TRACE(name);
    QFile::remove(marker);
    install(program_ + name);
    EXPECT_EQ(Sign(request_.tqsl_path), SigningEnd::kSigned);
    QElapsedTimer waited;
    waited.start();
    while (!opened_in().endsWith('\n') && waited.elapsed() < 5000) QThread::msleep(20);
    EXPECT_EQ(opened_in(), program_ + "\n");
    QFile::remove(program_ + name);
  }
}

TEST_F(TqslSigningTest, QuitDuringTheWaitEndsTheSigning) {
  // A signed file is already there when the program is asked to quit: it
  // must not count.
  WriteFileBytes(signed_, "left over");
  SetEnv("TQSL_DOUBLE_MODE", "hang");
  SigningEnd end = SigningEnd::kSigned;
  QTimer::singleShot(0, [&] { end = Sign(request_.tqsl_path); });
  QTimer::singleShot(500, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();  // also leaves the quit flag cleared for later tests
  EXPECT_EQ(end, SigningEnd::kQuit);
}

}  // namespace
