// The Club Log step of the upload when the network or the service fails: the
// export file is deleted only after Club Log has said it took the file, and
// the reply window always says what came back.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <optional>

#include "app/tfrm_clublog.h"
#include "clublog/clublog_upload.h"
#include "net/http_client.h"
#include "platform/text_codec.h"
#include "support/dropping_server.h"
#include "support/loopback_http_server.h"
#include "support/recording_ui.h"

namespace {

class ClublogFaultsTest : public testing::Test {
 protected:
  void SetUp() override { HttpClient::SetDefaultTimeout(600); }
  void TearDown() override { HttpClient::SetDefaultTimeout(HttpClient::kDefaultTimeoutMs); }

  // An export big enough that the upload is still sending when the server
  // drops it.
  QString WriteExport() {
    const QString path = dir_.filePath(QStringLiteral("Qorv_ADIF_20240101_1200.adi"));
    QByteArray adif;
    for (int i = 0; i < 20000; ++i) adif += "<CALL:4>W1AW<BAND:3>20M<MODE:3>FT8<EOR>\r\n";
    WriteFileBytes(path, adif);
    return path;
  }

  QTemporaryDir dir_;
  TfrmClublog reply_;
};

TEST_F(ClublogFaultsTest, ExportSurvivesEveryFailedOrRefusedUpload) {
  ScriptedReply stalls = ScriptedReply::Ok("Upload accepted and queued!");
  stalls.delay_ms = 10000;
  ScriptedReply cut = ScriptedReply::Ok("Upload accepted and queued!");
  cut.stall_at = 10;
  cut.drop_at_stall = true;
  struct Case {
    const char* what;
    std::optional<ScriptedReply> reply;  // none: the server drops the upload
    LoopbackHttpServer::Tls tls;
    QString memo;
  };
  const Case cases[] = {
      {"dropped while the file is sent", std::nullopt, LoopbackHttpServer::Tls::kOff, "500"},
      {"no reply within the time-out", stalls, LoopbackHttpServer::Tls::kOff, "500"},
      {"reply cut after its status line", cut, LoopbackHttpServer::Tls::kOff, "200"},
      {"error page with status 200", ScriptedReply::Ok("<html>Invalid login</html>"),
       LoopbackHttpServer::Tls::kOff, "<html>Invalid login</html>"},
      {"404", ScriptedReply::Status("HTTP/1.1 404 Not Found", "No such page"),
       LoopbackHttpServer::Tls::kOff, "No such page"},
      {"500", ScriptedReply::Status("HTTP/1.1 500 Internal Server Error", "Database down"),
       LoopbackHttpServer::Tls::kOff, "Database down"},
      {"certificate that does not verify", ScriptedReply::Ok("Upload accepted and queued!"),
       LoopbackHttpServer::Tls::kOn, "500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = WriteExport();
    const QByteArray before = ReadFileBytes(path);
    std::optional<DroppingServer> dropping;
    std::optional<LoopbackHttpServer> server;
    QString service;
    if (c.reply) {
      server.emplace(c.tls);
      server->Enqueue(*c.reply);
      service = server->Url(QString());
    } else {
      dropping.emplace(64 * 1024);
      service = dropping->Url(QString());
    }
    reply_.ReplaceText(QString());
    RecordingUi ui;
    QElapsedTimer elapsed;
    elapsed.start();
    // The upload goes on to its common tail: the failure is Club Log's answer.
    EXPECT_TRUE(
        SubmitExportToClublog(
            ui, {service, "op@example.org", "pw", "W1AW"}, path, [] { return false; }, reply_)
            .common_tail);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_EQ(reply_.Memo1()->toPlainText(), c.memo);
    EXPECT_TRUE(reply_.isVisible());
    EXPECT_TRUE(ui.messages.isEmpty());
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(ReadFileBytes(path), before);
    if (dropping) {
      EXPECT_EQ(dropping->Drops(), 1);
    }
  }
}

}  // namespace
