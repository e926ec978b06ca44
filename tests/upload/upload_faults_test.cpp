// The upload when the network, the service, TQSL or the database fails: no
// QSO is marked sent unless Qorv took the file, and the export file (and the
// signed file, when there is one) stays for the next try.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>

#include "support/service_double_process.h"
#include "net/http_client.h"
#include "platform/processes.h"
#include "support/dropping_server.h"
#include "support/error_text.h"
#include "support/loopback_http_server.h"
#include "upload/upload_fixture.h"

namespace {

const QList<int> kNoneMarked = {0, 1, 0, 1, 0};

class UploadFaultsTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    HttpClient::SetDefaultTimeout(600);
    AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
             MakeQso("K1JT", "2024-01-01", "11:00", 7, "7.07400", "FT8", "", true),
             MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "14.07400", "FT4"),
             MakeQso("G4XYZ", "2024-01-04", "13:00", 21, "21.07400", "SSB", "", true),
             MakeQso("VK2AB", "2024-01-05", "14:00", 28, "28.07400", "RTTY")});
  }
  void TearDown() override {
    HttpClient::SetDefaultTimeout(HttpClient::kDefaultTimeoutMs);
    UploadFixture::TearDown();
  }

  // The file names in "Qorv Logs" by extension, e.g. {"adi", "tq8"}.
  QStringList ExportKinds() const {
    QStringList kinds;
    for (const QString& name : ExportFolderFiles()) kinds << name.section(u'.', -1);
    return kinds;
  }

  void StartServiceDouble() {
    service_double_.WriteState("accounts.txt", "qorv\top\tsecret\n");
    ASSERT_TRUE(service_double_.Start());
    service_ = QStringLiteral("http://127.0.0.1:%1").arg(service_double_.http_port());
  }

  ServiceDoubleProcess service_double_;
};

TEST_F(UploadFaultsTest, FailedExchangesAndErrorPagesMarkNothing) {
  ScriptedReply stalls = ScriptedReply::Ok("<!-- .UPL.  accepted -->");
  stalls.delay_ms = 10000;
  ScriptedReply cut = ScriptedReply::Ok("<html><!-- .UPL.  accepted -->");
  cut.stall_at = 8;
  cut.drop_at_stall = true;
  struct Case {
    const char* what;
    std::optional<ScriptedReply> reply;  // none: the server drops the upload
    LoopbackHttpServer::Tls tls;
    QString message;  // the error box, or its beginning
  };
  const QString rejected = "File was rejected with this Error:";
  const QString refused = "Qorv did not accept the file. Its reply:\n";
  const Case cases[] = {
      {"dropped while the file is sent", std::nullopt, LoopbackHttpServer::Tls::kOff, rejected},
      {"no reply within the time-out", stalls, LoopbackHttpServer::Tls::kOff, rejected + "110"},
      {"reply cut before the marker", cut, LoopbackHttpServer::Tls::kOff, rejected + "104"},
      {"certificate that does not verify", ScriptedReply::Ok("<!-- .UPL.  accepted -->"),
       LoopbackHttpServer::Tls::kOn, rejected + "20060"},
      {"error page with status 200", ScriptedReply::Ok("<html>Service busy</html>"),
       LoopbackHttpServer::Tls::kOff, refused + "<html>Service busy</html>"},
      {"404", ScriptedReply::Status("HTTP/1.1 404 Not Found", "Not Found"),
       LoopbackHttpServer::Tls::kOff, refused + "Not Found"},
      {"500", ScriptedReply::Status("HTTP/1.1 500 Internal Server Error", "Upload failed"),
       LoopbackHttpServer::Tls::kOff, refused + "Upload failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(ExportFolder()).removeRecursively();
    ui_ = RecordingUi();
    std::optional<DroppingServer> dropping;
    std::optional<LoopbackHttpServer> server;
    if (c.reply) {
      server.emplace(c.tls);
      server->Enqueue(*c.reply);
      service_ = server->Url(QString());
    } else {
      dropping.emplace(100);
      service_ = dropping->Url(QString());
    }
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(Run());
    EXPECT_LT(elapsed.elapsed(), 8000);
    ASSERT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
    EXPECT_TRUE(ui_.messages[0].text.startsWith(c.message)) << ui_.messages[0].text.toStdString();
    if (!c.reply) {
      EXPECT_NE(ui_.messages[0].text, rejected + "0");
    }
    EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "");
    EXPECT_EQ(SentFlags().values(), kNoneMarked);
    EXPECT_EQ(ExportKinds(), QStringList({"adi", "tq8"}));
  }
}

TEST_F(UploadFaultsTest, TqslThatCrashesOrWritesAnEmptyFileMarksNothing) {
  StartServiceDouble();
  struct Case {
    const char* mode;
    QString label;
    QStringList files;
  };
  const Case cases[] = {
      {"crash", "Error: TQSL file was not created.", {"adi"}},
      {"fail", "Error: TQSL file was not created.", {"adi"}},
      // An empty signed file goes out and Qorv refuses it.
      {"empty", "", {"adi", "tq8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    QDir(ExportFolder()).removeRecursively();
    ui_ = RecordingUi();
    SetEnv("TQSL_DOUBLE_MODE", c.mode);
    EXPECT_TRUE(Run());
    EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), c.label);
    if (c.label.isEmpty()) {
      ASSERT_EQ(ui_.messages.size(), 1);
      EXPECT_TRUE(ui_.messages[0].text.startsWith("Qorv did not accept the file."));
    }
    EXPECT_EQ(SentFlags().values(), kNoneMarked);
    EXPECT_EQ(ExportKinds(), c.files);
  }
}

TEST_F(UploadFaultsTest, QuitWhileTqslHangsEndsWithNothingMarked) {
  SetEnv("TQSL_DOUBLE_MODE", "hang");
  std::optional<bool> result;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(20);
  QTimer::singleShot(0, [&] { result = Run(); });
  QTimer::singleShot(800, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
  ASSERT_TRUE(result.has_value());
  EXPECT_FALSE(*result);
  EXPECT_GE(ticks, 10) << "the window's timers ran while TQSL hung";
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(SentFlags().values(), kNoneMarked);
  EXPECT_EQ(ExportKinds(), QStringList{"adi"});
  // The hung TQSL does not outlive the wait.
  QElapsedTimer waited;
  waited.start();
  while (IsProcessRunning("tqsl.exe") && waited.elapsed() < 3000) QCoreApplication::processEvents();
  EXPECT_FALSE(IsProcessRunning("tqsl.exe"));
}

TEST_F(UploadFaultsTest, LogbookHoldingTheDatabaseWhileMarking) {
  StartServiceDouble();
  database_ = std::make_unique<LogDatabase>(300);
  database_->OpenLogDatabase(install_ + "db/logs.mdb");
  // The logbook writes (and holds its write lock) from before the marking on;
  // reading the unsent QSOs still works beside it.
  writer_->Execute("PRAGMA busy_timeout = 0");
  writer_->Execute("BEGIN IMMEDIATE");
  const QString error = ErrorText([this] { Run(); });
  writer_->Execute("ROLLBACK");
  EXPECT_TRUE(error.contains("locked")) << error.toStdString();
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "Uploading was successful ! QSO:3");
  EXPECT_EQ(SentFlags().values(), kNoneMarked);
  // Both files stay, so nothing sent is lost from sight.
  EXPECT_EQ(ExportKinds(), QStringList({"adi", "tq8"}));
}

TEST_F(UploadFaultsTest, LogTableWithoutTheColumnsItNeedsWritesNothing) {
  struct Case {
    const char* table;
    const char* columns;
    QString error;
  };
  const Case cases[] = {
      {"Log_NoSent",
       "ID INTEGER PRIMARY KEY, CallSign TEXT, QSODate TEXT, QSOTime TEXT, "
       "DigiBand REAL, QSOBand TEXT, QSOMode TEXT, SAT_NAME TEXT",
       "Field 'QorvSent' not found"},
      {"Log_NoMode",
       "ID INTEGER PRIMARY KEY, CallSign TEXT, QSODate TEXT, QSOTime TEXT, "
       "DigiBand REAL, QSOBand TEXT, SAT_NAME TEXT, QorvSent INTEGER",
       "Field 'QSOMode' not found"},
      {"Log_Missing", nullptr, "no such table"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    if (c.columns != nullptr) {
      writer_->Execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(c.table, c.columns));
      writer_->Execute(
          QStringLiteral("INSERT INTO %1 (ID, CallSign) VALUES (1, 'W1AW')").arg(c.table));
    }
    request_.log_table = c.table;
    ui_ = RecordingUi();
    const QString error = ErrorText([this] { Run(); });
    EXPECT_TRUE(error.contains(c.error)) << error.toStdString();
    EXPECT_FALSE(QDir(ExportFolder()).exists());
  }
  EXPECT_EQ(SentFlags().values(), kNoneMarked);
}

}  // namespace
