// The whole upload against the TQSL double and the service double: the
// checks in their order, the accepted upload marking exactly the exported
// QSOs, the files kept or removed, and the ways the upload can fail.
#include "upload/qorv_upload.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>

#include "platform/text_codec.h"
#include "support/error_text.h"
#include "support/service_double_process.h"
#include "upload/upload_fixture.h"

namespace {

constexpr char kSuccess[] = "Uploading was successful ! QSO:";
constexpr char kNotCreated[] = "Error: TQSL file was not created.";

class QorvUploadTest : public UploadFixture {
 protected:
  void SetUp() override {
    UploadFixture::SetUp();
    service_double_.WriteState("accounts.txt", "qorv\top\tsecret\n");
    ASSERT_TRUE(service_double_.Start());
    service_ = QStringLiteral("http://127.0.0.1:%1").arg(service_double_.http_port());
  }

  void AddThreeUnsentAndTwoSent() {
    AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
             MakeQso("K1JT", "2024-01-01", "11:00", 7, "7.07400", "FT8", "", true),
             MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "14.07400", "FT4"),
             MakeQso("G4XYZ", "2024-01-04", "13:00", 21, "21.07400", "SSB", "", true),
             MakeQso("VK2AB", "2024-01-05", "14:00", 28, "28.07400", "RTTY")});
  }

  // The ADIF files inside the uploads the service double took.
  QStringList ReceivedAdif() const {
    return QDir(service_double_.StatePath("uploads")).entryList({"*.tq8.adi"}, QDir::Files);
  }
  QByteArray RequestsLog() const {
    return QFile::exists(service_double_.StatePath("requests.log"))
               ? service_double_.ReadState("requests.log")
               : QByteArray();
  }
  QString OnlyExportFile() const {
    const QStringList adi = QDir(ExportFolder()).entryList({"*.adi"}, QDir::Files);
    EXPECT_EQ(adi.size(), 1);
    return adi.isEmpty() ? QString() : ExportFolder() + "/" + adi[0];
  }

  ServiceDoubleProcess service_double_;
};

TEST_F(QorvUploadTest, ChecksStopInTheirOrder) {
  // A TQSL already running (a real process named tqsl) for the later cases.
  QProcess running_tqsl;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("TQSL_DOUBLE_IDLE_MS", "60000");
  running_tqsl.setProcessEnvironment(environment);

  struct Case {
    const char* name;
    std::function<void()> arrange;
    QString outcome;  // what the user sees first: an error, a box or the label
  };
  const QString submode_file = program_ + "Submode.txt";
  const QList<Case> cases = {
      {"Submode.txt missing before the login",
       [&] {
         QFile::rename(submode_file, submode_file + ".away");
         request_.login.clear();
       },
       "error: Cannot open file \"" + submode_file + "\"."},
      {"login missing before the TQSL settings",
       [&] {
         QFile::rename(submode_file + ".away", submode_file);
         request_.tqsl_path.clear();
       },
       "box: Not Qorv login or password"},
      {"TQSL settings before the running TQSL",
       [&] {
         request_.login = "op";
         request_.location.clear();
         running_tqsl.start(DoublePath("tqsl-double/tqsl"), {});
         ASSERT_TRUE(running_tqsl.waitForStarted(5000));
       },
       "box: You must configure the program before running this function. Please check all "
       "setup values."},
      {"running TQSL before the selection",
       [&] {
         request_.tqsl_path = DoublePath("tqsl-double/tqsl");
         request_.location = "Home";
       },
       "label: TQSL is already running. Cannot continue."},
      {"no unsent QSO",
       [&] {
         running_tqsl.kill();
         running_tqsl.waitForFinished(5000);
       },
       "box: No new QSO."},
  };
  AddQsos({MakeQso("K1JT", "2024-01-01", "11:00", 7, "7.07400", "FT8", "", true)});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_ = RecordingUi();
    ui_.log_name = "Main";
    c.arrange();
    const QString error = ErrorText([this] { EXPECT_FALSE(Run()); });
    QString outcome = "label: " + ui_.results.value(ResultLabel::kUpload);
    if (!ui_.messages.isEmpty()) outcome = "box: " + ui_.messages[0].text;
    if (error != "no error") outcome = "error: " + error;
    EXPECT_TRUE(outcome.startsWith(c.outcome)) << outcome.toStdString();
    EXPECT_EQ(ui_.progress, QList<int>{0});
    // Every stop, an error included, gives the caption back to the log name.
    EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Main"}));
    EXPECT_FALSE(QDir(ExportFolder()).exists());
  }
  EXPECT_TRUE(clublog_files_.isEmpty());
  EXPECT_TRUE(RequestsLog().isEmpty());
}

TEST_F(QorvUploadTest, AcceptedUploadMarksTheExportedQsosAndHandlesTheFiles) {
  const struct {
    bool keep, clublog;
    bool export_stays, signed_stays;
  } cases[] = {{false, false, false, false},
               {true, false, true, true},
               {false, true, true, false},
               {true, true, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "keep " << c.keep << " clublog " << c.clublog);
    writer_->Execute("DELETE FROM Log1");
    QDir(ExportFolder()).removeRecursively();
    QDir uploads(service_double_.StatePath("uploads"));
    for (const QString& name : uploads.entryList(QDir::Files)) uploads.remove(name);
    ui_ = RecordingUi();
    clublog_files_.clear();
    clublog_keeps_.clear();
    AddThreeUnsentAndTwoSent();
    keep_files_ = c.keep;
    clublog_ = c.clublog;

    ASSERT_TRUE(Run());
    EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), QString(kSuccess) + "3");
    EXPECT_TRUE(ui_.messages.isEmpty());
    EXPECT_EQ(ui_.captions, (QStringList{"Waiting...", "Waiting, send file on Qorv"}));
    EXPECT_EQ(ui_.progress.last(), 100);
    EXPECT_EQ(SentFlags().values(), (QList<int>{1, 1, 1, 1, 1}));

    // What Qorv received is the export file as written.
    ASSERT_EQ(ReceivedAdif().size(), 1);
    const QByteArray received = service_double_.ReadState("uploads/" + ReceivedAdif()[0]);
    EXPECT_TRUE(received.contains("<CALL:4>W1AW<")) << received.constData();
    EXPECT_TRUE(received.contains("<CALL:6>DL1ABC<"));
    EXPECT_FALSE(received.contains("K1JT"));

    const QStringList files = ExportFolderFiles();
    EXPECT_EQ(files.filter(".adi").size(), c.export_stays ? 1 : 0);
    EXPECT_EQ(files.filter(".tq8").size(), c.signed_stays ? 1 : 0);
    if (c.export_stays) {
      EXPECT_EQ(ReadFileBytes(OnlyExportFile()), received);
    }
    EXPECT_EQ(clublog_files_.size(), c.clublog ? 1 : 0);
    if (c.clublog) {
      EXPECT_EQ(clublog_files_, QStringList{OnlyExportFile()});
      EXPECT_EQ(clublog_keeps_, QList<bool>{false});
    }
  }
}

TEST_F(QorvUploadTest, QsoLoggedDuringTheSigningStaysUnsent) {
  AddThreeUnsentAndTwoSent();
  SetEnv("TQSL_DOUBLE_DELAY_MS", "800");
  // The logbook logs a QSO while TQSL works.
  QTimer::singleShot(
      300, [this] { AddQsos({MakeQso("JA1ZZZ", "2024-01-06", "15:00", 14, "14.07400", "CW")}); });
  ASSERT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), QString(kSuccess) + "3");
  const QMap<qint64, int> sent = SentFlags();
  ASSERT_EQ(sent.size(), 6);
  EXPECT_EQ(sent.value(6), 0);
  EXPECT_EQ(sent.values().mid(0, 5), (QList<int>{1, 1, 1, 1, 1}));
}

TEST_F(QorvUploadTest, QsosTqslLeftOutStayUnsentAndAreNamed) {
  AddThreeUnsentAndTwoSent();
  // TQSL finds DL1ABC's record invalid and leaves it out of the signed file.
  SetEnv("TQSL_DOUBLE_LEAVE_OUT", "DL1ABC");
  ASSERT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), QString(kSuccess) + "2");
  EXPECT_EQ(SentFlags().values(), (QList<int>{1, 1, 0, 1, 1}));
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kWarning);
  EXPECT_TRUE(ui_.messages[0].text.contains("stay unsent"));
  EXPECT_TRUE(ui_.messages[0].text.endsWith("\nDL1ABC  2024-01-03  20M  FT4"))
      << ui_.messages[0].text.toStdString();
  ASSERT_EQ(ReceivedAdif().size(), 1);
  EXPECT_FALSE(service_double_.ReadState("uploads/" + ReceivedAdif()[0]).contains("DL1ABC"));

  // The next upload sends only that QSO again.
  ui_ = RecordingUi();
  SetEnv("TQSL_DOUBLE_LEAVE_OUT", "");
  ASSERT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), QString(kSuccess) + "1");
  EXPECT_TRUE(ui_.messages.isEmpty());
  EXPECT_EQ(SentFlags().values(), (QList<int>{1, 1, 1, 1, 1}));
}

// The command line reports from the outcome, so what it calls sent must be
// what the upload marked: also when TQSL left a QSO out, never after a
// refusal, and "nothing new" once every QSO went out.
TEST_F(QorvUploadTest, OutcomeCountsTheQsosMarkedSent) {
  AddThreeUnsentAndTwoSent();
  const auto newly_marked = [this](const QMap<qint64, int>& before) {
    int marked = 0;
    const QMap<qint64, int> after = SentFlags();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
      if (it.value() != 0 && before.value(it.key()) == 0) ++marked;
    }
    return marked;
  };
  SetEnv("TQSL_DOUBLE_LEAVE_OUT", "DL1ABC");
  QMap<qint64, int> before = SentFlags();
  ASSERT_TRUE(Run());
  EXPECT_TRUE(outcome_.accepted);
  EXPECT_FALSE(outcome_.nothing_new);
  EXPECT_EQ(outcome_.qsos_sent, 2);
  EXPECT_EQ(newly_marked(before), outcome_.qsos_sent);

  SetEnv("TQSL_DOUBLE_LEAVE_OUT", "");
  request_.password = "wrong";
  ASSERT_TRUE(Run());
  EXPECT_FALSE(outcome_.accepted);
  EXPECT_EQ(outcome_.qsos_sent, 0);

  request_.password = "secret";
  before = SentFlags();
  ASSERT_TRUE(Run());
  EXPECT_TRUE(outcome_.accepted);
  EXPECT_EQ(outcome_.qsos_sent, 1);
  EXPECT_EQ(newly_marked(before), outcome_.qsos_sent);

  EXPECT_FALSE(Run());
  EXPECT_TRUE(outcome_.nothing_new);
  EXPECT_FALSE(outcome_.accepted);
  EXPECT_EQ(outcome_.qsos_sent, 0);
}

TEST_F(QorvUploadTest, ReplyWithoutTheMarkerIsAFailure) {
  AddThreeUnsentAndTwoSent();
  request_.password = "wrong";
  clublog_ = true;
  ASSERT_TRUE(Run());
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].kind, MessageKind::kError);
  EXPECT_TRUE(ui_.messages[0].text.startsWith("Qorv did not accept the file. Its reply:\n"));
  EXPECT_TRUE(ui_.messages[0].text.contains("<!-- .UPL.  rejected -->"));
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), "");
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 1, 0, 1, 0}));
  EXPECT_EQ(ExportFolderFiles().size(), 2);
  // Club Log still gets the export file, which stays after it.
  EXPECT_EQ(clublog_files_, QStringList{OnlyExportFile()});
  EXPECT_EQ(clublog_keeps_, QList<bool>{true});
}

TEST_F(QorvUploadTest, ExchangeThatFailsShowsTheSocketError) {
  AddThreeUnsentAndTwoSent();
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 port = closed.serverPort();
  closed.close();
  service_ = QStringLiteral("http://127.0.0.1:%1").arg(port);
  clublog_ = true;
  ASSERT_TRUE(Run());
  ASSERT_EQ(ui_.messages.size(), 1);
  EXPECT_EQ(ui_.messages[0].text, "File was rejected with this Error:111");
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 1, 0, 1, 0}));
  EXPECT_EQ(ExportFolderFiles().size(), 2);
  EXPECT_EQ(clublog_keeps_, QList<bool>{true});
}

TEST_F(QorvUploadTest, NoSignedFileSkipsTheUploadNotClubLog) {
  AddThreeUnsentAndTwoSent();
  SetEnv("TQSL_DOUBLE_MODE", "nofile");
  clublog_ = true;
  clublog_result_ = false;  // Club Log's own stop ends the action there
  EXPECT_FALSE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), kNotCreated);
  EXPECT_TRUE(RequestsLog().isEmpty());
  EXPECT_EQ(clublog_files_, QStringList{OnlyExportFile()});
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 1, 0, 1, 0}));

  clublog_ = false;
  ui_ = RecordingUi();
  EXPECT_TRUE(Run());
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload), kNotCreated);
}

TEST_F(QorvUploadTest, UnreadableSignedFileEndsTheAction) {
  AddThreeUnsentAndTwoSent();
  clublog_ = true;
  SetEnv("TQSL_DOUBLE_DELAY_MS", "400");
  // While TQSL works, a folder takes the signed file's name: it exists but
  // cannot be read.
  QTimer::singleShot(150, [this] {
    const QStringList adi = QDir(ExportFolder()).entryList({"*.adi"}, QDir::Files);
    ASSERT_EQ(adi.size(), 1);
    QDir().mkpath(ExportFolder() + "/" + QString(adi[0]).replace(".adi", ".tq8"));
  });
  EXPECT_TRUE(ErrorText([this] { Run(); }).startsWith("Cannot open file"));
  EXPECT_TRUE(RequestsLog().isEmpty());
  EXPECT_TRUE(clublog_files_.isEmpty());
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 1, 0, 1, 0}));
}

}  // namespace
