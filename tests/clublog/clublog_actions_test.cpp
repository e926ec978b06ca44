// The Club Log uploads from the main window, over https to the service
// double: "Load ADIF" and the upload's Club Log step, with the login read
// from the "Clublog Settings" page and the address from "qorv.ini".
#include "app/clublog_actions.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/main_window_fixture.h"
#include "app/program_actions.h"
#include "app/tfrm_clublog.h"
#include "net/http_client.h"
#include "platform/text_codec.h"
#include "support/service_double_process.h"

namespace {

constexpr char kAccepted[] = "Upload accepted and queued!";
const QByteArray kAdif = "<CALL:4>W1AW<BAND:3>20M<EOR>\r\n";

class ClublogActionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    service_.WriteState("accounts.txt", "clublog\top@example.org\tclub=pw\tW1AW\n");
    ASSERT_TRUE(service_.Start());
    WriteFileBytes(SettingsFile(), QStringLiteral("[Services]\r\nClubLog=https://localhost:%1\r\n"
                                                  "CAFile=%2\r\n")
                                       .arg(service_.https_port())
                                       .arg(service_.StatePath("ca.pem"))
                                       .toLatin1());
    // Only the Club Log slot of the program's actions.
    MainActions actions;
    actions.clublog_load_adif = ProgramActions().clublog_load_adif;
    TfrmMain& form = Create(std::move(actions));
    Find<QLineEdit>("clublogemail")->setText(QStringLiteral("op@example.org "));
    Find<QLineEdit>("password")->setText(QStringLiteral("club=pw"));
    Find<QLineEdit>("callsign")->setText(QStringLiteral(" W1AW"));
    form.setWindowTitle(QStringLiteral("Main log"));
  }

  void TearDown() override {
    HttpClient::SetDefaultCaFile(QString());
    MainWindowTest::TearDown();
  }

  QString WriteAdif(const QString& name) {
    const QString path = folder_.filePath(name);
    WriteFileBytes(path, kAdif);
    return path;
  }

  // The files the double stored from Club Log uploads.
  QStringList Received() const {
    return QDir(service_.StatePath("clublog")).entryList(QDir::Files, QDir::Name);
  }

  QString Memo() const { return reply_.Memo1()->toPlainText(); }

  ServiceDoubleProcess service_;
  TfrmClublog reply_;
};

TEST_F(ClublogActionsTest, LoadAdifSendsThePickedFileOnly) {
  const QString path = WriteAdif("picked.adi");
  dialogs_.file_answers = {path};
  Find<QPushButton>("btnADIF")->click();
  EXPECT_TRUE(dialogs_.MessageTexts().isEmpty())
      << dialogs_.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(Memo(), kAccepted);
  EXPECT_TRUE(reply_.isVisible());
  ASSERT_EQ(Received().size(), 1);
  EXPECT_TRUE(Received()[0].endsWith("-picked.adi"));
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(window_->windowTitle(), "Main log");

  // The dialog cancelled, with its last file still named: nothing goes out.
  reply_.hide();
  Find<QPushButton>("btnADIF")->click();
  ASSERT_EQ(dialogs_.file_requests.size(), 2);
  EXPECT_EQ(dialogs_.file_requests[1].initial_path, path);
  EXPECT_EQ(Received().size(), 1);
  EXPECT_FALSE(reply_.isVisible());

  // A refusal goes below the earlier acceptance.
  Find<QLineEdit>("password")->setText(QStringLiteral("wrong"));
  dialogs_.file_answers = {path};
  Find<QPushButton>("btnADIF")->click();
  EXPECT_EQ(
      Memo(),
      QStringLiteral("%1\nLogin rejected: check your email, password and callsign").arg(kAccepted));
  EXPECT_EQ(Received().size(), 1);
}

TEST_F(ClublogActionsTest, UploadStepKeepsTheExportWhenAsked) {
  // The export stays when "Save adi and tq8 files" is ticked, and when the
  // Qorv upload went wrong.
  const struct {
    bool cb_keep;
    bool keep_export;
  } cases[] = {{true, false}, {false, true}, {false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cb_keep << c.keep_export);
    const QString path = WriteAdif("Qorv_ADIF_1.adi");
    Find<QCheckBox>("cbKeep")->setChecked(c.cb_keep);
    EXPECT_TRUE(ClublogSubmitExport(*window_, path, c.keep_export).common_tail);
    EXPECT_EQ(window_->windowTitle(), "Submit to Clublog");
    EXPECT_EQ(Memo(), kAccepted);
    EXPECT_EQ(QFile::exists(path), c.cb_keep || c.keep_export);
  }
  EXPECT_EQ(Received().size(), 3);

  // No export file: the standard error box, and the upload ends here.
  EXPECT_FALSE(
      ClublogSubmitExport(*window_, folder_.filePath("Qorv_ADIF_2.adi"), false).common_tail);
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_EQ(dialogs_.messages[0].kind, MessageKind::kError);
  EXPECT_TRUE(dialogs_.messages[0].text.startsWith("Cannot open file"));
  EXPECT_EQ(Received().size(), 3);
}

}  // namespace
