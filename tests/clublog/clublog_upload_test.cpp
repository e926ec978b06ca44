// The Club Log exchange against a loopback server: the form byte for byte,
// what the reply window shows, the upload's Club Log step and "Load ADIF".
#include "clublog/clublog_upload.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/tfrm_clublog.h"
#include "platform/text_codec.h"
#include "support/error_text.h"
#include "support/loopback_http_server.h"
#include "support/recording_ui.h"

namespace {

constexpr char kAccepted[] = "Upload accepted and queued!";
const QByteArray kAdif = "<CALL:4>W1AW<BAND:3>20M<EOR>";

// A port on 127.0.0.1 where nothing listens.
int ClosedPort() {
  LoopbackHttpServer server;
  return server.Port();
}

class ClublogUploadTest : public testing::Test {
 protected:
  QString WriteFile(const QString& name, const QByteArray& content) {
    const QString path = dir_.filePath(name);
    WriteFileBytes(path, content);
    return path;
  }

  ClublogSettings Settings() const {
    return {QStringLiteral("http://127.0.0.1:%1").arg(server_.Port()),
            QStringLiteral(" op@example.org "), QStringLiteral("club=pw "),
            QStringLiteral("\tW1AW")};
  }

  QString Memo() const { return reply_.Memo1()->toPlainText(); }

  QTemporaryDir dir_;
  LoopbackHttpServer server_;
  TfrmClublog reply_;
  RecordingUi ui_;
};

TEST_F(ClublogUploadTest, PostsTheFormByteForByte) {
  const QString path = WriteFile("export.adi", kAdif);
  LoopbackHttpServer proxy;
  qputenv("http_proxy", proxy.Url().toUtf8());
  server_.Enqueue(ScriptedReply::Ok(kAccepted));
  const bool accepted = UploadToClublog(Settings(), path, reply_).accepted;
  qunsetenv("http_proxy");
  EXPECT_TRUE(accepted);

  const std::vector<RecordedRequest> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(proxy.Requests().empty());
  const RecordedRequest& request = requests[0];
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.target, "/putlogs.php");
  EXPECT_EQ(request.version, "HTTP/1.0");
  const QByteArray content_type = request.Header("Content-Type");
  const QRegularExpressionMatch match =
      QRegularExpression("^multipart/form-data; boundary=([0-9A-F]{8}_Synapse_boundary)$")
          .match(QString::fromLatin1(content_type));
  ASSERT_TRUE(match.hasMatch()) << content_type.toStdString();
  const QByteArray boundary = match.captured(1).toLatin1();
  const auto text_part = [&](const QByteArray& name, const QByteArray& value) {
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name +
           "\"\r\nContent-Type: text/plain\r\n\r\n" + value + "\r\n";
  };
  // Blanks at the ends go, an "=" inside a value stays.
  const QByteArray expected =
      text_part("email", "op@example.org") + text_part("password", "club=pw") +
      text_part("callsign", "W1AW") + text_part("api", "d41c07ab83e6f2905b1d7c4e8a36f0b92c5e1d7a") +
      "--" + boundary + "\r\nContent-disposition: form-data; name=\"file\"; filename=\"" +
      path.toUtf8() + "\"\r\nContent-Type: Application/octet-stream\r\n\r\n" + kAdif + "--" +
      boundary + "--\r\n";
  EXPECT_EQ(request.body.toStdString(), expected.toStdString());
  EXPECT_EQ(request.Header("Content-Length"), QByteArray::number(request.body.size()));
}

TEST_F(ClublogUploadTest, ReplyWindowFollowsEachReply) {
  const QString path = WriteFile("export.adi", kAdif);
  struct Step {
    const char* what;
    ScriptedReply reply;  // none when the exchange fails
    bool fails;
    bool accepted;
    QString memo;
  };
  const QString accepted_text = QString::fromLatin1(kAccepted);
  const Step steps[] = {
      {"refusal on an empty window",
       ScriptedReply::Status("HTTP/1.1 403 Forbidden", "Login rejected"), false, false,
       "Login rejected"},
      {"acceptance inside a page replaces everything",
       ScriptedReply::Ok("<html>\r\n<p>Upload accepted and queued!</p>\r\n</html>"), false, true,
       accepted_text},
      {"refusal of two lines goes below",
       ScriptedReply::Status("HTTP/1.1 400 Bad Request", "Upload rejected:\r\nno records"), false,
       false, accepted_text + "\nUpload rejected:\nno records"},
      {"the marker is case-sensitive", ScriptedReply::Ok("upload accepted and queued!"), false,
       false, accepted_text + "\nUpload rejected:\nno records\nupload accepted and queued!"},
      {"a failed exchange leaves the status code", {}, true, false, "500"},
      {"acceptance after a failure", ScriptedReply::Ok(kAccepted), false, true, accepted_text},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    reply_.hide();
    ClublogSettings settings = Settings();
    if (step.fails) {
      settings.service = QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort());
    } else {
      server_.Enqueue(step.reply);
    }
    EXPECT_EQ(UploadToClublog(settings, path, reply_).accepted, step.accepted);
    EXPECT_EQ(Memo(), step.memo);
    EXPECT_TRUE(reply_.isVisible());
  }
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(ClublogUploadTest, UnreadableFileSendsNothing) {
  reply_.ReplaceText(QStringLiteral("earlier reply"));
  const QString missing = dir_.filePath("missing.adi");
  EXPECT_TRUE(ErrorText([&] {
                UploadToClublog(Settings(), missing, reply_);
              }).startsWith("Cannot open file \"" + missing + "\". "));
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_EQ(Memo(), "earlier reply");
  EXPECT_FALSE(reply_.isVisible());
}

TEST_F(ClublogUploadTest, UploadStepDeletesTheExportOnlyAfterAcceptance) {
  struct Case {
    const char* what;
    ScriptedReply reply;
    bool fails;
    bool keep;
    bool file_stays;
  };
  const Case cases[] = {
      {"accepted", ScriptedReply::Ok(kAccepted), false, false, false},
      {"accepted, files kept", ScriptedReply::Ok(kAccepted), false, true, true},
      {"refused", ScriptedReply::Status("HTTP/1.1 403 Forbidden", "Login rejected"), false, false,
       true},
      {"no connection", {}, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = WriteFile("Qorv_ADIF_1.adi", kAdif);
    ClublogSettings settings = Settings();
    if (c.fails) {
      settings.service = QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort());
    } else {
      server_.Enqueue(c.reply);
    }
    RecordingUi ui;
    EXPECT_TRUE(SubmitExportToClublog(
                    ui, settings, path, [&] { return c.keep; }, reply_)
                    .common_tail);
    EXPECT_EQ(ui.captions, QStringList{"Submit to Clublog"});
    EXPECT_EQ(QFile::exists(path), c.file_stays);
    EXPECT_TRUE(ui.messages.isEmpty());
  }
  EXPECT_EQ(server_.Requests().size(), 3u);
}

TEST_F(ClublogUploadTest, UploadStepWithoutExportFileEndsTheUpload) {
  const QString missing = dir_.filePath("Qorv_ADIF_1.adi");
  EXPECT_FALSE(SubmitExportToClublog(
                   ui_, Settings(), missing, [] { return false; }, reply_)
                   .common_tail);
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
  EXPECT_TRUE(ui_.messages[0].text.startsWith("Cannot open file \"" + missing + "\". "));
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_FALSE(reply_.isVisible());
}

TEST_F(ClublogUploadTest, LoadAdifSendsThePickedFileAndNothingWhenCancelled) {
  const QString path = WriteFile("picked.adi", kAdif);
  // Cancelled: nothing goes out and the window stays as it was.
  LoadAdifToClublog(ui_, Settings(), reply_);
  EXPECT_EQ(ui_.dialogs_shown, 1);
  EXPECT_TRUE(server_.Requests().empty());
  EXPECT_FALSE(reply_.isVisible());

  ui_.chosen_files = {path};
  server_.Enqueue(ScriptedReply::Ok(kAccepted));
  LoadAdifToClublog(ui_, Settings(), reply_);
  ASSERT_EQ(server_.Requests().size(), 1u);
  EXPECT_TRUE(server_.Requests()[0].body.contains("filename=\"" + path.toUtf8() + "\"\r\n"));
  EXPECT_EQ(Memo(), kAccepted);
  EXPECT_TRUE(reply_.isVisible());
  // Nothing is deleted and the caption stays.
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_TRUE(ui_.captions.isEmpty());
}

}  // namespace
