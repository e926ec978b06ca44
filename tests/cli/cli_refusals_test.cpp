// Refusals and failures on the command line: the window's texts, then the
// cause and the service's own words, each as an error, with status 1 and
// nothing changed.
#include <QDir>
#include <QFile>
#include <QJsonArray>

#include "cli/cli_fixture.h"
#include "platform/ini_file.h"
#include "platform/text_codec.h"
#include "support/loopback_http_server.h"

namespace {

class CliRefusalsTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    side_ = MakeSide("side");
    rows_ = side_->Rows();
  }
  void SetService(const QString& name, const QString& address) const {
    IniFile(side_->Program() + "qorv.ini").WriteString("Services", name, address);
  }
  // Status 1, the lines on standard error, and the log and dates as before.
  void ExpectFailedWith(const CommandRun& run, const QList<QByteArray>& lines) const {
    EXPECT_EQ(run.exit_code, 1) << run.err.constData();
    for (const QByteArray& line : lines) {
      EXPECT_TRUE(run.err.contains(line + "\n")) << line.constData() << "\n" << run.err.constData();
    }
    EXPECT_EQ(side_->Rows(), rows_);
    EXPECT_EQ(side_->StoredDate("QorvDate_Date"), "44197.3125");
    EXPECT_EQ(side_->StoredDate("eQSLDate_Date"), "44197.3125");
  }

  std::unique_ptr<LogbookSide> side_;
  QStringList rows_;
};

TEST_F(CliRefusalsTest, RefusedLoginsSayWhatTheServiceSaid) {
  service_.WriteState("accounts.txt", "qorv\tW1AW\tother\neqsl\tW1AW\tother\n");
  ExpectFailedWith(side_->Run({"download", "qorv"}),
                   {"qorvsync: error: The file does not appear to be an ARRL Qorv ADIF file. "
                    "Processing will not continue",
                    "qorvsync: error: Qorv answered with no report (HTTP 200): "
                    "\"Username/password incorrect\""});
  ExpectFailedWith(side_->Run({"download", "eqsl"}),
                   {"qorvsync: error: Error: No such Username/Password found"});
  ExpectFailedWith(
      side_->Run({"check-sent"}),
      {"qorvsync: error: The QSOs Qorv holds could not be fetched: Qorv answered with no report "
       "(HTTP 200): \"Username/password incorrect\"."});
}

// An eQSL outage answers the inbox request with a page that holds no file:
// no "nothing new", no date moved.
TEST_F(CliRefusalsTest, EqslOutageIsAFailure) {
  LoopbackHttpServer outage;
  outage.SetHandler([](const RecordedRequest&) {
    return ScriptedReply::Status("HTTP/1.1 503 Service Unavailable",
                                 "<html><head><title>eQSL</title></head><body><h2>Down for "
                                 "maintenance</h2></body></html>");
  });
  SetService("eQSL", outage.Url(""));
  const CommandRun run = side_->Run({"download", "eqsl"});
  ExpectFailedWith(run, {"qorvsync: error: The eQSL inbox could not be requested: eQSL sent no "
                         "inbox file (HTTP 503): \"Down for maintenance\"."});
  EXPECT_FALSE(run.out.contains("nothing new")) << run.out.constData();
  EXPECT_FALSE(QFile::exists(side_->Install() + "Download/updateeQSLcc.adi"));
}

// The upload's and Club Log's failed exchanges: the numbers the window shows,
// and why.
TEST_F(CliRefusalsTest, FailedExchangesNameTheirCause) {
  // Qorv over TLS with a certificate nobody here trusts.
  SetService("Qorv", QStringLiteral("https://127.0.0.1:%1").arg(service_.https_port()));
  const CommandRun upload = side_->Run({"upload", "--log", "Portable"});
  EXPECT_EQ(upload.exit_code, 1) << upload.err.constData();
  EXPECT_TRUE(upload.err.contains(
      "qorvsync: error: The signed file did not reach Qorv: the certificate of 127.0.0.1 is not "
      "trusted\n"))
      << upload.err.constData();
  EXPECT_FALSE(upload.err.contains("Error:0")) << upload.err.constData();

  const QString file = root_.filePath("log.adi");
  WriteFileBytes(file, "<CALL:6>N0CALL<BAND:3>20M<MODE:3>FT8<EOR>\n");
  const CommandRun refused = side_->Run({"clublog", file});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_TRUE(
      refused.err.contains("qorvsync: error: Club Log refused the file (HTTP 403): "
                           "\"Login rejected: check your email, password and "
                           "callsign\"\n"))
      << refused.err.constData();

  // Nothing listens on Club Log's port any more.
  QString nowhere;
  {
    const LoopbackHttpServer gone;
    nowhere = gone.Url("");
  }
  SetService("ClubLog", nowhere);
  const CommandRun unreached = side_->Run({"clublog", file});
  EXPECT_EQ(unreached.exit_code, 1);
  EXPECT_TRUE(
      unreached.err.contains("qorvsync: error: The file did not reach Club Log: no "
                             "connection to 127.0.0.1 (Connection refused)\n"))
      << unreached.err.constData();
  // A script reading JSON learns why, too.
  const CommandRun json = side_->Run({"clublog", file, "--json"});
  EXPECT_EQ(json.exit_code, 1);
  EXPECT_TRUE(Json(json)["messages"].toArray().contains(
      "The file did not reach Club Log: no connection to 127.0.0.1 (Connection refused)"))
      << json.out.constData();
}

}  // namespace
