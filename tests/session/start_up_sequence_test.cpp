// The start-up sequence both front ends run, with a road that records what
// each step hands it, over a small logbook installation.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "net/http_client.h"
#include "platform/app_error.h"
#include "platform/registry.h"
#include "session/start_up.h"
#include "support/logbook_installation.h"

namespace {

class RecordingRoad : public StartUpRoad {
 public:
  void TqslPath(const QString& path) override { steps << "tqsl " + path; }
  void SinceDateRead(SinceDate which, const std::optional<QDateTime>& value) override {
    steps << QStringLiteral("%1 %2").arg(
        which == SinceDate::kQorv ? "qorv" : "eqsl",
        value ? value->toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QStringLiteral("none"));
  }
  void StationLocation(const QString& location) override { steps << "location " + location; }
  void LogNameKnown(const QString& log_name) override { steps << "log " + log_name; }

  QStringList steps;
};

class StartUpSequenceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    QFile::remove(Registry::DefaultFile());
    WriteLogbookInstallation(Install(), {{"Home", "Log_Home", 1}, {"Club", "Log_Club", 1}}, "Home");
    config_.ProgramFolder = root_.filePath(QStringLiteral("program/"));
  }
  void TearDown() override {
    QFile::remove(Registry::DefaultFile());
    HttpClient::SetDefaultCaFile(QString());
  }

  QString Install() const { return root_.filePath(QStringLiteral("install/")); }

  // The logbook's registry values; a date of 0 days is 1899-12-30.
  void WriteRegistry(const QString& qorv_date) const {
    Registry registry;
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3"), true));
    registry.WriteString(QStringLiteral("InstallPath"), Install());
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso"), true));
    registry.WriteString(QStringLiteral("TrustedQSLPatch"), QStringLiteral("/usr/bin/tqsl"));
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv"), true));
    registry.WriteString(QStringLiteral("QorvDate_Date"), qorv_date);
    registry.WriteString(QStringLiteral("edtTQSLStationLocationName_Text"), QStringLiteral("Home"));
  }

  QTemporaryDir root_;
  Configuration config_;
  LogDatabase database_;
  RecordingRoad road_;
};

TEST_F(StartUpSequenceTest, StepsReachTheRoadInOrderThenTheLogIsLoaded) {
  WriteRegistry(QStringLiteral("45000.5"));
  RunStartUp(config_, database_, road_);
  EXPECT_EQ(road_.steps, QStringList({"tqsl /usr/bin/tqsl", "eqsl none", "qorv 2023-03-15 12:00",
                                      "location Home", "log Home"}));
  EXPECT_EQ(config_.InstallPath, Install());
  EXPECT_TRUE(database_.IsOpen());
  EXPECT_EQ(config_.LogFileName, "Log_Home");
}

TEST_F(StartUpSequenceTest, ParametersPickTheLogOrStopBeforeTheLogbook) {
  WriteRegistry(QStringLiteral("45000"));
  StartUpParameters club;
  club.log_name = QStringLiteral("Club");
  RunStartUp(config_, database_, road_, club);
  EXPECT_EQ(road_.steps.last(), "log Club");
  EXPECT_EQ(config_.LogFileName, "Log_Club");

  Configuration settings_only;
  LogDatabase unopened;
  RecordingRoad road;
  StartUpParameters no_logbook;
  no_logbook.open_logbook = false;
  RunStartUp(settings_only, unopened, road, no_logbook);
  EXPECT_EQ(road.steps.last(), "location Home");
  EXPECT_EQ(settings_only.InstallPath, Install());
  EXPECT_EQ(settings_only.LogName, "");
  EXPECT_FALSE(unopened.IsOpen());
}

TEST_F(StartUpSequenceTest, ABadDateEndsTheSequenceWithWhatWasSetKept) {
  for (const QString& date : {QStringLiteral("x"), QStringLiteral("-99999999")}) {
    WriteRegistry(date);
    RecordingRoad road;
    Configuration config;
    config.ProgramFolder = config_.ProgramFolder;
    EXPECT_THROW(RunStartUp(config, database_, road), AppError) << date.toStdString();
    EXPECT_EQ(road.steps, QStringList({"tqsl /usr/bin/tqsl", "eqsl none"}));
    EXPECT_EQ(config.InstallPath, Install());
    EXPECT_EQ(config.LogName, "");
    EXPECT_FALSE(database_.IsOpen());
  }
}

TEST(SplitProxyServerTest, HostBeforeTheFirstColonPortAfterIt) {
  struct Case {
    QString value;
    QString host;
    QString port;
  };
  const Case cases[] = {
      {"proxy.local:3128", "proxy.local", "3128"},
      {" proxy : 8080 ", "proxy", "8080"},
      {"proxy", "", "proxy"},
      {"ftp=a:1;socks=b:2", "ftp=a", "1;socks=b:2"},
      {"\tproxy:\r\n", "proxy", ""},
  };
  for (const Case& c : cases) {
    QString host = "old";
    QString port = "old";
    SplitProxyServer(c.value, &host, &port);
    EXPECT_EQ(host, c.host) << c.value.toStdString();
    EXPECT_EQ(port, c.port) << c.value.toStdString();
  }
}

}  // namespace
