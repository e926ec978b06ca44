// The Qorv download when the network, the service, the disk or the logbook
// fails: nothing is confirmed from a report that did not arrive whole, the
// QSL-since date stays, and the last saved report stays until a complete
// reply replaces it.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <optional>

#include "confirmation_fixture.h"
#include "confirmations/report_download.h"
#include "net/http_client.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "report_text.h"
#include "support/error_text.h"
#include "support/loopback_http_server.h"

namespace {

const QByteArray kEarlierReport = "ARRL Qorv Status Report\r\n<eoh>\r\n";
const QString kNotReport =
    "The file does not appear to be an ARRL Qorv ADIF file. Processing will not continue";

QByteArray Report() {
  return ("ARRL Qorv Status Report\n<eoh>\n" + Record("K1AA", "40M", "CW", "20210917", "000500") +
          "\n" + Record("ABCDE", "20M", "FT8", "20210915", "1824") + "\n")
      .toLatin1();
}

class ConfirmationsFaultsTest : public ConfirmationTest {
 protected:
  void SetUp() override {
    QFile::remove(Registry::DefaultFile());
    HttpClient::SetDefaultTimeout(600);
    ui_.log_name = QStringLiteral("Home");
    picker_value_ = QDateTime(QDate(2021, 7, 1), QTime(7, 0));
    download_.query = {"W1AW", "secret", false, {}, {}, QDate(2021, 7, 1), {}};
    download_.service_address = [this] { return service_address_; };
    download_.install_path = dir_.path() + QStringLiteral("/install/");
    ASSERT_TRUE(QDir().mkpath(download_.install_path + "Download"));
    download_.program_folder = ProgramFolder();
    download_.log_set = QStringLiteral("A");
    download_.start_utc = QDateTime(QDate(2021, 10, 9), QTime(22, 30), Qt::UTC);
    WriteFileBytes(SavedReport(), kEarlierReport);
  }
  void TearDown() override { HttpClient::SetDefaultTimeout(HttpClient::kDefaultTimeoutMs); }

  bool Download(LogDatabase& database) {
    download_.since_time = picker_value_.time();
    return TakeDownloadOutcome(DownloadConfirmations(ui_, database, download_, Options()),
                               &picker_value_);
  }
  QString SavedReport() const { return download_.install_path + "Download/qorvreport.adi"; }
  void ExpectNothingMoved() {
    EXPECT_TRUE(ConfirmedNow().isEmpty());
    EXPECT_EQ(picker_value_, QDateTime(QDate(2021, 7, 1), QTime(7, 0)));
    Registry registry;
    EXPECT_FALSE(registry.OpenKey("Software\\Vodrix_Log3\\TfmSendQSOstoQorv", false) &&
                 registry.ValueExists("QorvDate_Date"));
    EXPECT_FALSE(QFile::exists(ProgramFolder() + "QorvError.txt"));
  }

  ReportDownload download_;
  QString service_address_;
  QDateTime picker_value_;
};

TEST_F(ConfirmationsFaultsTest, FailedExchangesAndErrorPagesConfirmNothing) {
  ScriptedReply stalls = ScriptedReply::Ok(Report());
  stalls.stall_at = 60;
  stalls.stall_ms = 10000;
  ScriptedReply cut = ScriptedReply::Ok(Report());
  cut.stall_at = Report().indexOf("ABCDE");  // after the first whole record
  cut.drop_at_stall = true;
  struct Case {
    const char* what;
    ScriptedReply reply;
    LoopbackHttpServer::Tls tls;
    const char* message;  // a failed exchange's reason, or the error page's box
    bool error_page;      // a completed reply without the report's header
  };
  const QByteArray not_report = kNotReport.toLatin1();
  const Case cases[] = {
      {"report stalls", stalls, LoopbackHttpServer::Tls::kOff,
       "no answer from 127.0.0.1 within the time-out of 0.6 seconds", false},
      {"connection dropped after a record", cut, LoopbackHttpServer::Tls::kOff,
       "the reply of 127.0.0.1 was cut short", false},
      {"certificate that does not verify", ScriptedReply::Ok(Report()),
       LoopbackHttpServer::Tls::kOn, "the certificate of 127.0.0.1 is not trusted", false},
      {"error page with status 200", ScriptedReply::Ok("<html>Login failed</html>"),
       LoopbackHttpServer::Tls::kOff, not_report.constData(), true},
      {"404", ScriptedReply::Status("HTTP/1.1 404 Not Found", "Not Found"),
       LoopbackHttpServer::Tls::kOff, not_report.constData(), true},
      {"500", ScriptedReply::Status("HTTP/1.1 500 Internal Server Error", "Server Error"),
       LoopbackHttpServer::Tls::kOff, not_report.constData(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(SavedReport(), kEarlierReport);
    LoopbackHttpServer server(c.tls);
    server.Enqueue(c.reply);
    service_address_ = server.Url(QString());
    ui_ = RecordingUi();
    ui_.log_name = QStringLiteral("Home");
    QElapsedTimer elapsed;
    elapsed.start();
    // A failed exchange ends in the common tail; an error page does not.
    EXPECT_EQ(Download(Database()), !c.error_page);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 0");
    ExpectNothingMoved();
    // Every end says what happened, with the log name back in the caption.
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
    EXPECT_EQ(ui_.messages[0].text, c.error_page ? kNotReport
                                                 : "The Qorv report could not be downloaded: " +
                                                       QLatin1String(c.message) +
                                                       ".\n\nNothing was changed.");
    EXPECT_EQ(ui_.captions.last(), "Home");
    EXPECT_EQ(ReadFileBytes(SavedReport()), c.error_page ? c.reply.body : kEarlierReport);
  }
}

TEST_F(ConfirmationsFaultsTest, ReportThatCannotBeSavedConfirmsNothing) {
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Ok(Report()));
  service_address_ = server.Url(QString());
  ASSERT_TRUE(QFile::remove(SavedReport()));
  ASSERT_TRUE(QDir().mkpath(SavedReport()));
  const QString error = ErrorText([&] { Download(Database()); });
  EXPECT_TRUE(error.startsWith("Cannot create file \"" + SavedReport() + "\"."))
      << error.toStdString();
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 0");
  ExpectNothingMoved();
}

TEST_F(ConfirmationsFaultsTest, LogbookHoldingTheDatabaseStopsTheRunWithItsMessage) {
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Ok(Report()));
  service_address_ = server.Url(QString());
  LogDatabase short_wait(200);
  short_wait.OpenLogDatabase(DatabasePath());
  LogbookDatabaseWriter logbook(DatabasePath());
  logbook.Execute("BEGIN IMMEDIATE");
  const QString error = ErrorText([&] { Download(short_wait); });
  logbook.Execute("ROLLBACK");
  EXPECT_TRUE(error.contains("locked")) << error.toStdString();
  // Both records were read as the report arrived; their changes waited for
  // the whole report and were never written.
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 2");
  ExpectNothingMoved();
  // The report itself had been saved whole before the run began.
  EXPECT_EQ(ReadFileBytes(SavedReport()), Report());
}

}  // namespace
