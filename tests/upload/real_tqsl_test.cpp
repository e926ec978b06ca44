// The upload with Debian's real TQSL on a private X display, its home and
// TQSLDIR the test's own folders: without a certificate nothing is signed;
// with a throwaway certificate the signed file holds the exported QSOs, the
// service double receives them and exactly those are marked; a QSO TQSL
// refuses stays unsent.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "platform/processes.h"
#include "platform/text_codec.h"
#include "support/service_double_process.h"
#include "upload/real_tqsl_setup.h"
#include "upload/signed_contacts.h"
#include "upload/station_locations.h"
#include "upload/upload_fixture.h"

namespace {

constexpr char kCall[] = "W1TST";

class RealTqslTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    tqsl_ = QStandardPaths::findExecutable("tqsl", {"/usr/bin", "/usr/local/bin"});
    ASSERT_FALSE(tqsl_.isEmpty()) << "TQSL is missing: scripts/install-deps.sh installs trustedqsl";
    display_ = x_server_.Start();
    if (display_.isEmpty()) GTEST_SKIP() << "no X server could be started for TQSL (Xvfb)";
    SetEnv("DISPLAY", display_.toLatin1());
    SetEnv("HOME", QFile::encodeName(root_.filePath("home")));
    // TQSL stops at a modal box under a locale the machine lacks.
    SetEnv("LANG", "C.UTF-8");
    // The system's programs, TQSL among them, are in PATH as on a user's
    // machine: the upload must not open a TQSL window of its own from there.
    SetEnv("PATH", QFile::encodeName(root_.filePath("bin")) + ":/usr/local/bin:/usr/bin:/bin");
    SetEnv("LC_ALL", "C.UTF-8");
    request_.tqsl_path = tqsl_;
  }

  // The certificate, a station location whose name TQSL keeps with "&amp;",
  // and the service double to upload to.
  void PrepareSigning() {
    ASSERT_EQ(InstallThrowawayCertificate(tqsl_, tqsl_dir_, kCall), "");
    WriteFileBytes(tqsl_dir_ + "/station_data",
                   "<StationDataFile>\n<StationData name=\"Home &amp; Away\">\n<CALL>W1TST</CALL>\n"
                   "<DXCC>291</DXCC>\n<GRIDSQUARE>FN31</GRIDSQUARE>\n</StationData>\n"
                   "</StationDataFile>\n");
    const QStringList locations = ReadStationLocations(tqsl_dir_ + "/station_data");
    ASSERT_EQ(locations, QStringList{"Home & Away"});
    request_.location = locations[0];
    service_double_.WriteState("accounts.txt", "qorv\top\tsecret\n");
    ASSERT_TRUE(service_double_.Start());
    service_ = QStringLiteral("http://127.0.0.1:%1").arg(service_double_.http_port());
    keep_files_ = true;  // the signed file is looked at afterwards
  }

  // Runs the upload while TQSL's modal "Errors Detected" box is answered with
  // its default button, "Ignore", by xdotool (the box is focused and Return
  // typed; no window manager needed). So that a box nobody expects cannot hang the suite, a
  // TQSL still running after two minutes is ended by its process id: the
  // test then fails on its missing signed file.
  bool RunAnsweringTqsl() {
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
      QProcess search;
      search.start("xdotool", {"search", "--onlyvisible", "--name", "^Errors Detected$"});
      search.waitForFinished(5000);
      for (const QByteArray& window : search.readAllStandardOutput().split('\n')) {
        if (window.isEmpty()) continue;
        // Keys sent to a window without focus are ignored: focus it, then type.
        QProcess::execute("xdotool", {"windowfocus", "--sync", QString::fromLatin1(window)});
        QProcess::execute("xdotool", {"key", "Return"});
      }
    });
    answer.start(300);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      if (const qint64 pid = FindProcessId("tqsl"))
        QProcess::execute("kill", {QString::number(pid)});
      ADD_FAILURE() << "TQSL did not end within two minutes";
    });
    watchdog.start(120000);
    return Run();
  }

  QString SignedFile() const {
    const QStringList tq8 = QDir(ExportFolder()).entryList({"*.tq8"}, QDir::Files);
    return tq8.size() == 1 ? ExportFolder() + "/" + tq8[0] : QString();
  }

  // The contacts the service double received, one line each.
  QStringList ReceivedContacts() const {
    const QStringList files =
        QDir(service_double_.StatePath("uploads")).entryList({"*.contacts"}, QDir::Files);
    if (files.size() != 1) return {};
    return QString::fromUtf8(service_double_.ReadState("uploads/" + files[0]))
        .split('\n', Qt::SkipEmptyParts);
  }

  QString tqsl_;
  QString display_;
  PrivateXServer x_server_;
  ServiceDoubleProcess service_double_;
};

TEST_F(RealTqslTest, NoCertificateMeansNoSignedFileAndNothingMarked) {
  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "14.07400", "FT8")});
  EXPECT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Error: TQSL file was not created.");
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 0}));
  EXPECT_EQ(ExportFolderFiles().filter(".adi").size(), 1);
  EXPECT_TRUE(ExportFolderFiles().filter(".tq8").isEmpty());
}

TEST_F(RealTqslTest, SignedQsosAreUploadedAndMarked) {
  PrepareSigning();
  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "9:05", 14, "14.08000", "FT4"),
           MakeQso("K1JT", "2024-01-01", "11:00", 7, "7.07400", "FT8", "", true),
           MakeQso("VE3XYZ", "2024-01-04", "23:59", 144, "145.90000", "FM", "SO-50")});
  ASSERT_TRUE(RunAnsweringTqsl());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Uploading was successful ! QSO:3");
  EXPECT_TRUE(ui_.messages.isEmpty()) << ui_.messages.value(0).text.toStdString();

  // TQSL's own spelling: dates with "-", times with seconds, the FT4 submode
  // as the mode.
  ASSERT_FALSE(SignedFile().isEmpty());
  EXPECT_EQ(ReadSignedContacts(ReadFileBytes(SignedFile())),
            (QList<QsoKey>{{"W1AW", "20240102", "1000", "20M", "CW"},
                           {"DL1ABC", "20240103", "0905", "20M", "FT4"},
                           {"VE3XYZ", "20240104", "2359", "2M", "FM"}}));
  EXPECT_EQ(ReceivedContacts(), (QStringList{"W1AW\t2024-01-02\t10:00:00Z\t20M\tCW",
                                             "DL1ABC\t2024-01-03\t09:05:00Z\t20M\tFT4",
                                             "VE3XYZ\t2024-01-04\t23:59:00Z\t2M\tFM"}));
  EXPECT_EQ(SentFlags().values(), (QList<int>{1, 1, 1, 1}));
  // No TQSL window was left open to block the next upload.
  EXPECT_FALSE(IsProcessRunning("tqsl.exe"));
}

TEST_F(RealTqslTest, QsoTqslRefusesStaysUnsent) {
  PrepareSigning();
  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "12:00", 144, "145.90000", "FM", "IO-117")});
  ASSERT_TRUE(RunAnsweringTqsl());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Uploading was successful ! QSO:1");
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_TRUE(ui_.messages[0].text.endsWith("\nDL1ABC  2024-01-03  2M  FM"))
      << ui_.messages[0].text.toStdString();
  EXPECT_EQ(ReceivedContacts(), QStringList{"W1AW\t2024-01-02\t10:00:00Z\t20M\tCW"});
  EXPECT_EQ(SentFlags().values(), (QList<int>{1, 0}));
}

// Without a person at the screen nobody answers a box: the unattended run
// signs without any, also under a locale the machine lacks, and within its
// time limit.
TEST_F(RealTqslTest, UnattendedRunSignsWithoutABox) {
  PrepareSigning();
  SetEnv("LC_ALL", "xx_YY.UTF-8");
  SetEnv("LANG", "xx_YY.UTF-8");
  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "12:00", 144, "145.90000", "FM", "IO-117")});
  request_.tqsl_mode = {true, std::chrono::seconds(90)};
  ASSERT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Uploading was successful ! QSO:1");
  EXPECT_EQ(ReceivedContacts(), QStringList{"W1AW\t2024-01-02\t10:00:00Z\t20M\tCW"});
  EXPECT_EQ(SentFlags().values(), (QList<int>{1, 0}));
}

}  // namespace
