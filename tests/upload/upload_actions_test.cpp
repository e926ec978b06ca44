// The upload page in the main window: a click on the action button with
// Club Log ticked, over https to the service double, and the station
// location list of edLocation.
#include "app/upload_actions.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>

#include "app/main_window_fixture.h"
#include "app/program_actions.h"
#include "app/tfrm_clublog.h"
#include "create/logbook_schema.h"
#include "net/http_client.h"
#include "platform/text_codec.h"
#include "support/service_double_process.h"
#include "upload/upload_fixture.h"

namespace {

class UploadActionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    install_ = folder_.filePath("install") + "/";
    ASSERT_TRUE(QDir().mkpath(install_ + "db"));
    ASSERT_TRUE(QDir().mkpath(folder_.filePath("tqsl")));
    ASSERT_TRUE(QDir().mkpath(folder_.filePath("bin")));
    ASSERT_TRUE(
        QFile::copy(QORV_SOURCE_DIR "/src/upload/Submode.txt", folder_.filePath("Submode.txt")));
    env_.push_back(
        std::make_unique<ScopedEnv>("TQSLDIR", QFile::encodeName(folder_.filePath("tqsl"))));
    env_.push_back(std::make_unique<ScopedEnv>("PATH", QFile::encodeName(folder_.filePath("bin"))));
    env_.push_back(std::make_unique<ScopedEnv>("TQSL_DOUBLE_MODE", ""));
    WriteFileBytes(folder_.filePath("tqsl/station_data"),
                   "<StationDataFile><StationData name=\"Home\"><CALL>W1AW</CALL></StationData>\n"
                   "<StationData name=\"Field Day\"><CALL>W1AW/P</CALL></StationData>\n"
                   "<StationData name=\"Home\"><CALL>W1AW</CALL></StationData></StationDataFile>");

    writer_ = std::make_unique<LogbookDatabaseWriter>(install_ + "db/logs.mdb");
    writer_->CreateAconfigTable();
    writer_->AddLog({"Main", "Set1", "Log1", "op", "secret", "", ""});
    writer_->CreateLogTable("Log1");
    writer_->InsertQsos("Log1", {MakeQso("W1AW", "2024-01-02", "10:00", 14, "14.07400", "CW"),
                                 MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "14.07400", "FT4")});

    service_.WriteState("accounts.txt",
                        "qorv\top\tsecret\nclublog\top@example.org\tclub=pw\tW1AW\n");
    ASSERT_TRUE(service_.Start());
    WriteFileBytes(SettingsFile(), QStringLiteral("[Services]\r\nQorv=https://localhost:%1\r\n"
                                                  "ClubLog=https://localhost:%1\r\nCAFile=%2\r\n")
                                       .arg(service_.https_port())
                                       .arg(service_.StatePath("ca.pem"))
                                       .toLatin1());

    MainActions actions;
    const MainActions program = ProgramActions();
    actions.upload = program.upload;
    actions.location_drop_down = program.location_drop_down;
    TfrmMain& form = Create(std::move(actions));
    Configuration& config = form.Config();
    config.InstallPath = install_;
    config.DatabasePath = install_ + "db/logs.mdb";
    form.Database().OpenLogDatabase(config.DatabasePath);
    config.LogName = "Main";
    config.LogFileName = "Log1";
    config.EQorvUserName = "op";
    config.EQorvPassword = "secret";
    Find<QLineEdit>("edtTqsl")->setText(DoublePath("tqsl-double/tqsl"));
    Find<QComboBox>("edLocation")->setEditText(" Home ");
    Find<QLineEdit>("clublogemail")->setText("op@example.org");
    Find<QLineEdit>("password")->setText("club=pw");
    Find<QLineEdit>("callsign")->setText("W1AW");
    Pages()->setCurrentIndex(2);
  }

  void TearDown() override {
    HttpClient::SetDefaultCaFile(QString());
    MainWindowTest::TearDown();
    writer_.reset();
    env_.clear();
  }

  QList<int> SentFlags() {
    QSqlQuery query(writer_->Connection());
    EXPECT_TRUE(query.exec("SELECT QorvSent FROM Log1 ORDER BY ID"));
    QList<int> flags;
    while (query.next()) flags << query.value(0).toInt();
    return flags;
  }

  QString install_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
  std::unique_ptr<LogbookDatabaseWriter> writer_;
  ServiceDoubleProcess service_;
  TfrmClublog reply_;
};

TEST_F(UploadActionsTest, UploadWithClubLogEndsInTheCommonTail) {
  Find<QCheckBox>("cbClublog")->setChecked(true);
  window_->setWindowTitle("Main");
  Find<QPushButton>("btnQorv")->click();

  EXPECT_TRUE(dialogs_.MessageTexts().isEmpty())
      << dialogs_.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(Find<QLabel>("lbQorv")->text(), "Uploading was successful ! QSO:2");
  EXPECT_EQ(SentFlags(), (QList<int>{1, 1}));
  EXPECT_EQ(window_->windowTitle(), "Main");
  EXPECT_EQ(QDir(service_.StatePath("uploads")).entryList({"*.tq8"}, QDir::Files).size(), 1);
  // Club Log took the export file, which then went like the signed file.
  const QStringList clublog = QDir(service_.StatePath("clublog")).entryList(QDir::Files);
  ASSERT_EQ(clublog.size(), 1);
  EXPECT_TRUE(clublog[0].contains("Qorv_ADIF_"));
  EXPECT_EQ(reply_.Memo1()->toPlainText(), "Upload accepted and queued!");
  EXPECT_TRUE(QDir(install_ + "Qorv Logs").entryList(QDir::Files).isEmpty());
}

TEST_F(UploadActionsTest, StopInTheChecksGivesTheCaptionBackToTheLogName) {
  window_->Config().EQorvPassword.clear();
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList{"Not Qorv login or password"});
  EXPECT_EQ(window_->windowTitle(), "Main");
  EXPECT_EQ(SentFlags(), (QList<int>{0, 0}));
}

TEST_F(UploadActionsTest, DropDownListsTheStationLocations) {
  auto* box = Find<QComboBox>("edLocation");
  box->addItem("stale");
  box->setEditText("typed here");
  window_->edLocationDropDown();
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  EXPECT_EQ(items, (QStringList{"Home", "Field Day", "Home"}));
  EXPECT_EQ(box->currentText(), "typed here");

  QFile::remove(folder_.filePath("tqsl/station_data"));
  window_->edLocationDropDown();
  EXPECT_EQ(box->count(), 0);
  EXPECT_EQ(box->currentText(), "typed here");
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(dialogs_.messages[0].text.startsWith("Cannot open file \"" +
                                                   folder_.filePath("tqsl/station_data") + "\"."));
}

}  // namespace
