// The upload with Debian's real TQSL on a private X display: a station
// location but no callsign certificate, so TQSL signs nothing and nothing is
// sent or marked. TQSL's home is the test's own folder.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "upload/upload_fixture.h"

namespace {

// An Xvfb of its own, on the first free display number.
class PrivateXServer {
 public:
  ~PrivateXServer() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }

  // The display name, or empty when no server could be started.
  QString Start() {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb", {"/usr/bin", "/usr/local/bin"});
    if (xvfb.isEmpty()) return QString();
    process_.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    if (!process_.waitForStarted(5000)) return QString();
    QByteArray number;
    while (!number.contains('\n') && process_.waitForReadyRead(10000)) {
      number += process_.readAllStandardOutput();
    }
    number = number.trimmed();
    return number.isEmpty() ? QString() : ":" + QString::fromLatin1(number);
  }

 private:
  QProcess process_;
};

class RealTqslTest : public UploadFixture {};

TEST_F(RealTqslTest, NoCertificateMeansNoSignedFileAndNothingMarked) {
  const QString tqsl = QStandardPaths::findExecutable("tqsl", {"/usr/bin", "/usr/local/bin"});
  ASSERT_FALSE(tqsl.isEmpty()) << "TQSL is missing: scripts/install-deps.sh installs trustedqsl";
  PrivateXServer x_server;
  const QString display = x_server.Start();
  if (display.isEmpty()) GTEST_SKIP() << "no X server could be started for TQSL (Xvfb)";
  SetEnv("DISPLAY", display.toLatin1());
  SetEnv("HOME", QFile::encodeName(root_.filePath("home")));

  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "14.07400", "FT8")});
  request_.tqsl_path = tqsl;
  EXPECT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Error: TQSL file was not created.");
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 0}));
  EXPECT_EQ(ExportFolderFiles().filter(".adi").size(), 1);
  EXPECT_TRUE(ExportFolderFiles().filter(".tq8").isEmpty());
}

}  // namespace
