// The eQSL download when the network, the service, the disk or the logbook
// fails: no QSO is marked unless its confirmation was read in full, the
// received-since date moves only after a complete run, and the copy of the
// last inbox file stays until a new one has been written whole.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimeZone>
#include <optional>

#include "eqsl/inbox_download.h"
#include "eqsl_fixture.h"
#include "net/http_client.h"
#include "platform/text_codec.h"
#include "support/error_text.h"
#include "support/loopback_http_server.h"

namespace {

const QByteArray kInbox =
    "ADIF 3 Export from eQSL.cc\r\n<EOH>\r\n"
    "<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M<MODE:3>FT8"
    "<RST_RCVD:3>-10<EOR>\r\n"
    "<CALL:5>K1ABC<QSO_DATE:8:D>20210301<TIME_ON:4>0915<BAND:3>40M<MODE:3>FT4<EOR>\r\n";
const QByteArray kEarlierFile = "<CALL:4>OLD1<EOR>\r\n";

QByteArray LinkPage() {
  return "<HTML><BODY><UL><LI><A HREF=\"../downloadedfiles/W1AW.adi\">.ADI file</A></BODY></HTML>";
}

class EqslFaultsTest : public EqslFixture {
 protected:
  void SetUp() override {
    EqslFixture::SetUp();
    HttpClient::SetDefaultTimeout(600);
    ui_.log_name = QStringLiteral("Main");
    settings_ = {QString(),
                 "W1AW",
                 "secret",
                 InstallPath(),
                 ProgramFolder(),
                 ProgramFolder(),
                 "HOME",
                 false,
                 {},
                 {},
                 QDateTime(QDate(2021, 10, 20), QTime(8, 0), QTimeZone::utc())};
    AddQsos("log_main", {MakeQso("2021-09-15", "18:40", "N0CALL", 14, "FT8"),
                         MakeQso("2021-03-01", "09:10", "K1ABC", 7, "FT4")});
    ASSERT_TRUE(QDir().mkpath(InstallPath() + "Download"));
    WriteFileBytes(SavedFile(), kEarlierFile);
  }
  void TearDown() override {
    HttpClient::SetDefaultTimeout(HttpClient::kDefaultTimeoutMs);
    EqslFixture::TearDown();
  }

  bool Download() {
    return TakeOutcome(DownloadEqslInbox(
        settings_, page_, [this]() -> LogDatabase& { return database_; }, ui_));
  }
  QString SavedFile() const { return InstallPath() + "Download/updateeQSLcc.adi"; }
  // Nothing in the log, the date or the files has moved.
  void ExpectNothingChanged() {
    EXPECT_EQ(Marks("log_main"), "N0CALL=0 K1ABC=0");
    EXPECT_EQ(page_.received_since, QDateTime(QDate(2021, 6, 1), QTime(7, 30)));
    EXPECT_FALSE(QFile::exists(ProgramFolder() + "eQSLccError.txt"));
  }

  EqslDownloadSettings settings_;
};

TEST_F(EqslFaultsTest, FailedExchangesAndErrorPagesChangeNothing) {
  ScriptedReply stalls = ScriptedReply::Ok(kInbox);
  stalls.stall_at = 40;
  stalls.stall_ms = 10000;
  ScriptedReply silent = ScriptedReply::Ok(LinkPage());
  silent.delay_ms = 10000;
  ScriptedReply cut = ScriptedReply::Ok(kInbox);
  cut.stall_at = 120;  // after the first record
  cut.drop_at_stall = true;
  struct Case {
    const char* what;
    QList<ScriptedReply> replies;
    LoopbackHttpServer::Tls tls;
    size_t requests;     // that reached the server
    QByteArray message;  // the box of a failed request; none for "nothing new"
  };
  const char* inbox = "The eQSL inbox could not be requested: ";
  const char* file = "The eQSL inbox file could not be downloaded: ";
  const char* no_answer = "no answer from 127.0.0.1 within the time-out of 0.6 seconds";
  const Case cases[] = {
      {"inbox page never comes",
       {silent},
       LoopbackHttpServer::Tls::kOff,
       1,
       QByteArray(inbox).append(no_answer)},
      {"file stalls",
       {ScriptedReply::Ok(LinkPage()), stalls},
       LoopbackHttpServer::Tls::kOff,
       2,
       QByteArray(file).append(no_answer)},
      {"file cut after a record",
       {ScriptedReply::Ok(LinkPage()), cut},
       LoopbackHttpServer::Tls::kOff,
       2,
       QByteArray(file).append("the reply of 127.0.0.1 was cut short")},
      {"certificate that does not verify",
       {ScriptedReply::Ok(LinkPage())},
       LoopbackHttpServer::Tls::kOn,
       0,
       QByteArray(inbox).append("the certificate of 127.0.0.1 is not trusted")},
      // A page without the file link is an outage, not an empty inbox.
      {"error page with status 200",
       {ScriptedReply::Ok("<html>Maintenance</html>")},
       LoopbackHttpServer::Tls::kOff,
       1,
       QByteArray(inbox).append("eQSL sent no inbox file (HTTP 200): \"Maintenance\"")},
      {"404",
       {ScriptedReply::Status("HTTP/1.1 404 Not Found", "Not Found")},
       LoopbackHttpServer::Tls::kOff,
       1,
       QByteArray(inbox).append("eQSL sent no inbox file (HTTP 404): \"Not Found\"")},
      {"500",
       {ScriptedReply::Status("HTTP/1.1 500 Internal Server Error",
                              "<html><head><title>500</title></head><body><h1>Internal "
                              "Server\r\nError</h1><p>Try later</p></body></html>")},
       LoopbackHttpServer::Tls::kOff,
       1,
       QByteArray(inbox).append("eQSL sent no inbox file (HTTP 500): \"Internal Server Error\"")},
      {"503 without a body",
       {ScriptedReply::Status("HTTP/1.1 503 Service Unavailable")},
       LoopbackHttpServer::Tls::kOff,
       1,
       QByteArray(inbox).append("eQSL sent no inbox file (HTTP 503)")},
      // A file request answered with an error page read nothing of the
      // inbox: moving the date would lose what it holds.
      {"file request answered with 404",
       {ScriptedReply::Ok(LinkPage()),
        ScriptedReply::Status("HTTP/1.1 404 Not Found",
                              "<html>File not found <CALL:4>W9XX</html>")},
       LoopbackHttpServer::Tls::kOff,
       2,
       QByteArray(file).append("eQSL sent no inbox file (HTTP 404): \"File not found W9XX\"")},
      {"file request answered with 500",
       {ScriptedReply::Ok(LinkPage()),
        ScriptedReply::Status("HTTP/1.1 500 Internal Server Error", "Try later")},
       LoopbackHttpServer::Tls::kOff,
       2,
       QByteArray(file).append("eQSL sent no inbox file (HTTP 500): \"Try later\"")},
      // The one page without a link that means "nothing new".
      {"no log entries",
       {ScriptedReply::Ok("<html><body>You have no log entries matching the selected "
                          "dates.</body></html>")},
       LoopbackHttpServer::Tls::kOff,
       1,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackHttpServer server(c.tls);
    for (const ScriptedReply& reply : c.replies) server.Enqueue(reply);
    settings_.service = server.Url(QString());
    ui_ = RecordingUi();
    ui_.log_name = QStringLiteral("Main");
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(Download());
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_EQ(ui_.results.value(ResultLabel::kEqslDownload), "Download QSO: 0");
    if (c.message.isEmpty()) {
      EXPECT_TRUE(ui_.messages.isEmpty());
    } else {
      ASSERT_EQ(ui_.messages.size(), 1);
      EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
      EXPECT_EQ(ui_.messages[0].text, QString::fromLatin1(c.message) + ".\n\nNothing was changed.");
      EXPECT_EQ(ui_.captions.last(), "Main");
    }
    ExpectNothingChanged();
    EXPECT_EQ(ReadFileBytes(SavedFile()), kEarlierFile);
    EXPECT_EQ(server.Requests().size(), c.requests);
  }
}

TEST_F(EqslFaultsTest, FileThatCannotBeSavedIsReportedBeforeAnythingIsMarked) {
  LoopbackHttpServer server;
  server.SetHandler([](const RecordedRequest& request) {
    return ScriptedReply::Ok(request.target.startsWith("/qslcard") ? LinkPage() : kInbox);
  });
  settings_.service = server.Url(QString());
  // The saved file's name is taken by a folder: no one, not even the owner of
  // every file, can write it.
  ASSERT_TRUE(QFile::remove(SavedFile()));
  ASSERT_TRUE(QDir().mkpath(SavedFile()));
  const QString error = ErrorText([&] { Download(); });
  EXPECT_TRUE(error.startsWith("Cannot create file \"" + SavedFile() + "\"."))
      << error.toStdString();
  EXPECT_EQ(ui_.results.value(ResultLabel::kEqslDownload), "Download QSO: 0");
  ExpectNothingChanged();
}

TEST_F(EqslFaultsTest, LogbookHoldingTheDatabaseStopsTheRunWithItsMessage) {
  LoopbackHttpServer server;
  server.SetHandler([](const RecordedRequest& request) {
    return ScriptedReply::Ok(request.target.startsWith("/qslcard") ? LinkPage() : kInbox);
  });
  settings_.service = server.Url(QString());
  LogDatabase short_wait(200);
  short_wait.OpenLogDatabase(DatabasePath());
  LogbookDatabaseWriter logbook(DatabasePath());
  logbook.Execute("BEGIN IMMEDIATE");
  const QString error = ErrorText([&] {
    TakeOutcome(DownloadEqslInbox(
        settings_, page_, [&]() -> LogDatabase& { return short_wait; }, ui_));
  });
  logbook.Execute("ROLLBACK");
  EXPECT_TRUE(error.contains("locked")) << error.toStdString();
  // Both records were read as the file arrived; their changes waited for
  // the whole file and were never written.
  EXPECT_EQ(ui_.results.value(ResultLabel::kEqslDownload), "Download QSO: 2");
  ExpectNothingChanged();
  // The new file was saved whole before the run began.
  EXPECT_TRUE(ReadFileBytes(SavedFile()).contains("<CALL:5>K1ABC"));
}

// The file is matched as it arrives, or, when its bytes turn out to read
// otherwise (Windows-1252 after all, UTF-16), from the saved file: the same
// QSOs are marked either way.
TEST_F(EqslFaultsTest, InboxMatchedAsItArrivesOrFromItsFileMarksTheSame) {
  QByteArray windows_1252 = kInbox;
  windows_1252.replace("<MODE:3>FT4", "<MODE:3>FT4<NAME:4>Jos\xE9");
  const std::pair<const char*, QByteArray> cases[] = {
      {"UTF-8", kInbox},
      {"Windows-1252 in the last record", windows_1252},
      {"UTF-16 with mark", EncodeText(QString::fromLatin1(kInbox), TextEncoding::kUtf16Le)},
  };
  for (const auto& [what, inbox] : cases) {
    SCOPED_TRACE(what);
    LogbookDatabaseWriter(DatabasePath()).Execute("UPDATE log_main SET QSLReceQSLcc = 0");
    LoopbackHttpServer server;
    server.SetHandler([&inbox](const RecordedRequest& request) {
      return ScriptedReply::Ok(request.target.startsWith("/qslcard") ? LinkPage() : inbox);
    });
    settings_.service = server.Url(QString());
    ASSERT_TRUE(Download());
    EXPECT_EQ(Marks("log_main"), "N0CALL=1 K1ABC=1");
    EXPECT_EQ(ui_.results.value(ResultLabel::kEqslDownload), "Download QSO: 2");
    EXPECT_EQ(ReadFileBytes(SavedFile()), inbox);
  }
}

}  // namespace
