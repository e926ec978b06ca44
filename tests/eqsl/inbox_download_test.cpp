// The eQSL download end to end: the service double's inbox page, its link and
// session cookies, the saved file and the marks; and, against a scripted
// server, the pages and failures a real service can give.
#include "eqsl/inbox_download.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

#include "eqsl/inbox_finish.h"
#include "eqsl_fixture.h"
#include "platform/text_codec.h"
#include "support/error_text.h"
#include "support/loopback_http_server.h"
#include "support/service_double_process.h"

namespace {

const QByteArray kInbox =
    "<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M<MODE:3>FT8"
    "<RST_RCVD:3>-10<QSLRDATE:8>20211019<EOR>\n"
    "<CALL:5>K1ABC<QSO_DATE:8:D>20210301<TIME_ON:4>0915<BAND:3>40M<MODE:4>MFSK"
    "<SUBMODE:3>FT4<RST_RCVD:3>+03<QSLRDATE:8>20211020<EOR>\n";

QByteArray LinkPage(const QByteArray& file) {
  return "<HTML><BODY>Your ADIF log file has been built\r\n<UL>\r\n<LI><A HREF=\"../"
         "downloadedfiles/" +
         file + "\">.ADI file</A>\r\n</UL></BODY></HTML>";
}

// A port on 127.0.0.1 where nothing listens.
int ClosedPort() {
  LoopbackHttpServer server;
  return server.Port();
}

class InboxDownloadTest : public EqslFixture {
 protected:
  void SetUp() override {
    EqslFixture::SetUp();
    ui_.log_name = QStringLiteral("Main");
    settings_.user_name = QStringLiteral("W1AW");
    settings_.password = QStringLiteral("secret");
    settings_.install_path = InstallPath();
    settings_.program_folder = ProgramFolder();
    settings_.state_folder = ProgramFolder();
    settings_.log_set = QStringLiteral("HOME");
    settings_.start_utc = QDateTime(QDate(2021, 10, 20), QTime(23, 30), QTimeZone::utc());
  }

  bool Download() {
    return TakeOutcome(DownloadEqslInbox(
        settings_, page_, [this]() -> LogDatabase& { return database_; }, ui_));
  }
  QString Label() const { return ui_.results.value(ResultLabel::kEqslDownload, "(unset)"); }
  QString SavedFile() const { return InstallPath() + "Download/updateeQSLcc.adi"; }

  EqslDownloadSettings settings_;
};

TEST_F(InboxDownloadTest, FetchesTheLinkedFileWithTheSessionAndMarksTheLog) {
  ServiceDoubleProcess service;
  service.WriteState("accounts.txt", "eqsl\tW1AW\tse cr&t#1\n");
  service.WriteState("eqsl/W1AW.adi", kInbox);
  ASSERT_TRUE(service.Start());
  settings_.service = QStringLiteral("http://127.0.0.1:%1").arg(service.http_port());
  settings_.password = QStringLiteral("se cr&t#1");  // goes out percent-encoded
  AddQsos("log_main", {MakeQso("2021-09-15", "18:40", "N0CALL", 14, "FT8"),
                       MakeQso("2021-03-01", "09:10", "K1ABC", 7, "FT4")});
  page_.received_since = QDateTime(QDate(2021, 10, 19), QTime(7, 30));

  EXPECT_TRUE(Download());
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 K1ABC=1");
  EXPECT_EQ(Label(), "Download QSO: 2");
  EXPECT_EQ(ui_.captions, QStringList({"Waiting...", "Main"}));
  EXPECT_TRUE(ui_.messages.isEmpty());
  const QByteArray log = service.ReadState("requests.log");
  EXPECT_TRUE(
      log.contains("GET /qslcard/DownloadInbox.cfm?Username=W1AW&Password=se%20cr%26t%231"
                   "&RcvdSince=20211019 HTTP/1.1"))
      << log.toStdString();
  EXPECT_TRUE(log.contains("GET /downloadedfiles/W1AW")) << log.toStdString();
  EXPECT_TRUE(log.contains("Cookie: CFID=")) << log.toStdString();
  const QByteArray saved = ReadFileBytes(SavedFile());
  EXPECT_TRUE(saved.startsWith("ADIF 3 Export from eQSL.cc\r\n"));
  EXPECT_TRUE(saved.contains("<CALL:5>K1ABC"));
  EXPECT_EQ(page_.received_since, QDateTime(QDate(2021, 10, 20), QTime(7, 30)));
}

TEST_F(InboxDownloadTest, RefusedLoginAndEmptyInboxOnTheServiceDouble) {
  ServiceDoubleProcess service;
  service.WriteState("accounts.txt", "eqsl\tW1AW\tsecret\n");
  service.WriteState("eqsl/W1AW.adi", kInbox);
  ASSERT_TRUE(service.Start());
  settings_.service = QStringLiteral("http://127.0.0.1:%1").arg(service.http_port());

  settings_.password = QStringLiteral("wrong");
  EXPECT_FALSE(Download());  // no common tail
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].text, "Error: No such Username/Password found");
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kPlain);
  EXPECT_EQ(Label(), "Download QSO: 0");
  EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Main"}));

  settings_.password = QStringLiteral("secret");
  page_.received_since = QDateTime(QDate(2030, 1, 1), QTime());
  ui_ = RecordingUi();
  EXPECT_TRUE(Download());
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(Label(), "Download QSO: 0");
  EXPECT_FALSE(QFileInfo::exists(SavedFile()));
  EXPECT_EQ(page_.received_since.date(), QDate(2030, 1, 1));  // not moved without a file
}

TEST_F(InboxDownloadTest, MissingCredentialsStopBeforeAnything) {
  ui_.results[ResultLabel::kEqslDownload] = "Download QSO: 7";
  for (const auto& [user, password] : {std::pair{"", "secret"}, std::pair{"W1AW", ""}}) {
    settings_.user_name = QLatin1String(user);
    settings_.password = QLatin1String(password);
    settings_.service = QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort());
    EXPECT_FALSE(Download());
    EXPECT_EQ(ui_.messages.last().text, "Not eQSLcc login or password");
    EXPECT_EQ(ui_.messages.last().kind, MessageKind::kWarning);
  }
  EXPECT_EQ(Label(), "Download QSO: 7");
  EXPECT_TRUE(ui_.captions.isEmpty());
  EXPECT_TRUE(ui_.progress.isEmpty());
}

TEST_F(InboxDownloadTest, RequestAddressesAndTheLinkedName) {
  struct Case {
    bool range;
    QByteArray page;
    QByteArray second_target;  // empty: no second request
  };
  const QByteArray far_quote = "a" + QByteArray(99, 'b') + "\">";
  const Case cases[] = {
      {false, LinkPage("abc.adi") + LinkPage("other.adi"), "/downloadedfiles/abc.adi"},
      {true, LinkPage("abc.adi"), "/downloadedfiles/abc.adi"},
      {false, "<LI><A HREF=\"../downloadedfiles/" + far_quote, "/downloadedfiles/"},
      {false, LinkPage("my file.adi"), "/downloadedfiles/my%20file.adi"},
      {false, "Error: No such Username/Password found" + LinkPage("abc.adi"), ""},
      {false, "<li><a href=\"../downloadedfiles/abc.adi\">", ""},
      {false, "", ""},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server;
    server.Enqueue(ScriptedReply::Ok(c.page));
    server.Enqueue(ScriptedReply::Ok("no ADIF here"));
    settings_.service = server.Url("");
    settings_.password = QStringLiteral("p/w");
    page_ = FakeEqslPage();
    page_.load_from_date = c.range;
    Download();
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_GE(requests.size(), 1u);
    EXPECT_EQ(requests[0].target.toStdString(),
              "/qslcard/DownloadInbox.cfm?Username=W1AW&Password=p%2Fw" +
                  std::string(c.range ? "&LimitDateLo=03/01/2021&LimitDateHi=03/15/2021"
                                      : "&RcvdSince=20210601"));
    EXPECT_EQ(requests[0].version, "HTTP/1.1");
    EXPECT_EQ((requests.size() > 1 ? requests[1].target : QByteArray()).toStdString(),
              c.second_target.toStdString())
        << c.page.toStdString();
  }
}

TEST_F(InboxDownloadTest, RangeDatesUseSlashesWhateverTheRegionalSettings) {
  settings_.service = QStringLiteral("http://127.0.0.1:1");
  page_.load_from_date = true;
  EXPECT_TRUE(
      EqslInboxUrl(settings_, page_).endsWith("&LimitDateLo=03/01/2021&LimitDateHi=03/15/2021"));
}

TEST_F(InboxDownloadTest, FileIsSavedAsItCameAndReadAsUtf8WhenItIs) {
  // With and without a byte-order mark, the call sign holds "Ö"; the last
  // file is Windows-1252, where the same letter is one byte.
  const QByteArray files[] = {
      "\xEF\xBB\xBF<CALL:5>\xC3\x96"
      "3ABC<BAND:3>20M<EOR>\n",
      "<CALL:5>\xC3\x96"
      "3ABC<BAND:3>20M<EOR>\n",
      "<CALL:5>\xD6"
      "3ABC<BAND:3>20M<EOR>\r\n"};
  for (const QByteArray& file : files) {
    LoopbackHttpServer server;
    server.Enqueue(ScriptedReply::Ok(LinkPage("u.adi")));
    server.Enqueue(ScriptedReply::Ok(file));
    settings_.service = server.Url("");
    EXPECT_TRUE(Download());
    EXPECT_EQ(ReadFileBytes(SavedFile()), file);
    EXPECT_EQ(ReadFileBytes(EqslErrorFilePath(ProgramFolder())).split('\n').value(1),
              "  14  \xD6"
              "3ABC  \r");
  }
}

TEST_F(InboxDownloadTest, FailedRequestsEndWithTheCommonTail) {
  // Nothing listening for the inbox page.
  const int closed_port = ClosedPort();
  settings_.service = QStringLiteral("http://127.0.0.1:%1").arg(closed_port);
  EXPECT_TRUE(Download());
  EXPECT_EQ(Label(), "Download QSO: 0");
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
  EXPECT_EQ(ui_.messages[0].text,
            "The eQSL inbox could not be requested: no connection to 127.0.0.1 (Connection "
            "refused).\n\nNothing was changed.");
  EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Main"}));
  EXPECT_EQ(page_.received_since.date(), QDate(2021, 6, 1));

  // The connection dropped while the file comes.
  LoopbackHttpServer server;
  server.Enqueue(ScriptedReply::Ok(LinkPage("abc.adi")));
  ScriptedReply dropped = ScriptedReply::Ok(kInbox);
  dropped.stall_at = 10;
  dropped.drop_at_stall = true;
  server.Enqueue(dropped);
  settings_.service = server.Url("");
  ui_ = RecordingUi();
  EXPECT_TRUE(Download());
  EXPECT_EQ(Label(), "Download QSO: 0");
  EXPECT_FALSE(QFileInfo::exists(SavedFile()));
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].text,
            "The eQSL inbox file could not be downloaded: the reply of 127.0.0.1 was cut "
            "short.\n\nNothing was changed.");
  EXPECT_EQ(page_.received_since.date(), QDate(2021, 6, 1));
}

TEST_F(InboxDownloadTest, ErrorsShowTheCountReachedAndEndWithoutTheTail) {
  LoopbackHttpServer server;
  server.SetHandler([](const RecordedRequest& request) {
    return request.target.startsWith("/qslcard")
               ? ScriptedReply::Ok(LinkPage("abc.adi"))
               : ScriptedReply::Ok(kInbox + "<CALL:5>K2XX<TIME_ON:2>18<X:0>\n");
  });
  settings_.service = server.Url("");
  EXPECT_EQ(ErrorText([&] { Download(); }), "'18:' is not a valid time");
  EXPECT_EQ(Label(), "Download QSO: 3");
  EXPECT_EQ(page_.received_since.date(), QDate(2021, 6, 1));  // not moved

  // The logbook's folder is missing: the Download folder cannot be made.
  settings_.install_path = InstallPath() + "missing/";
  ui_ = RecordingUi();
  EXPECT_TRUE(ErrorText([&] { Download(); }).startsWith("Cannot create folder"));
  EXPECT_EQ(Label(), "Download QSO: 0");
}

}  // namespace
