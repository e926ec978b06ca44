// The eQSL page of the main window: the action button and "Ignore List" run
// the eQSL operations with the window's configuration and date controls.
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>

#include "app/app_test_support.h"
#include "app/eqsl_actions.h"
#include "app/main_window_fixture.h"
#include "create/logbook_schema.h"
#include "logdb/log_database.h"
#include "platform/ini_file.h"
#include "platform/text_codec.h"
#include "session/start_up.h"
#include "support/service_double_process.h"

namespace {

class EqslWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    const QString install = folder_.filePath("logbook") + u'/';
    ASSERT_TRUE(QDir().mkpath(install + "db"));
    LogbookDatabaseWriter writer(install + "db/logs.mdb");
    writer.CreateAconfigTable();
    writer.AddLog({"Main", "HOME", "log_main", "", "", "W1AW", "secret"});
    writer.CreateLogTable("log_main");
    Qso qso;
    qso.QSODate = "2021-09-15";
    qso.QSOTime = "18:30";
    qso.CallSign = "N0CALL";
    qso.DigiBand = 14;
    qso.QSOMode = "FT8";
    writer.InsertQsos("log_main", {qso});

    service_.WriteState("accounts.txt", "eqsl\tW1AW\tsecret\n");
    service_.WriteState(
        "eqsl/W1AW.adi",
        "<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:3>FT8<EOR>\n"
        "<CALL:5>K1ABC<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:3>FT8<EOR>\n");
    ASSERT_TRUE(service_.Start());

    MainActions actions;
    actions.eqsl_download = EqslDownload;
    actions.ignore_list = EqslIgnoreList;
    TfrmMain& window = Create(std::move(actions));
    IniFile(SettingsFile())
        .WriteString("Services", "eQSL",
                     QStringLiteral("http://127.0.0.1:%1").arg(service_.http_port()));
    Configuration& config = window.Config();
    ReadServices(config);
    config.InstallPath = install;
    config.DatabasePath = install + "db/logs.mdb";
    window.Database().OpenLogDatabase(config.DatabasePath);
    config.LogName = "Main";
    config.LogFileName = "log_main";
    config.LogSet = "HOME";
    config.EQSLUserName = "W1AW";
    config.EQSLPassword = "secret";
    Pages()->setCurrentIndex(1);
  }

  ServiceDoubleProcess service_;
  RecordingShell shell_;
  FixedClock clock_{QDateTime(QDate(2021, 10, 20), QTime(12, 0), QTimeZone::utc())};
};

TEST_F(EqslWindowTest, ActionButtonDownloadsMarksAndMovesTheDate) {
  auto* since = Find<QDateEdit>("DateTimePicker2");
  since->setDateTime(QDateTime(QDate(2021, 1, 1), QTime(7, 30)));
  Find<QPushButton>("btnQorv")->click();

  EXPECT_EQ(Find<QLabel>("RzLabel3")->text(), "Download QSO: 2");
  EXPECT_EQ(window_->windowTitle(), "Main");
  EXPECT_EQ(since->dateTime(), QDateTime(QDate(2021, 10, 20), QTime(7, 30)));
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  const QString error_file = folder_.filePath("eQSLccError.txt");
  EXPECT_EQ(shell_.text_files, QStringList{error_file});
  EXPECT_TRUE(ReadFileBytes(error_file).contains("K1ABC"));

  LogDatabase database;
  database.OpenLogDatabase(window_->Config().DatabasePath);
  QsoLookup lookup{
      QDate(2021, 9, 15), 14, "N0CALL", QsoLookup::CallMatch::kEqual, "18:30", "18:30", "FT8"};
  EXPECT_TRUE(database.FindQso("log_main", lookup)->Truth("QSLReceQSLcc"));
}

TEST_F(EqslWindowTest, RefusedLoginReturnsTheCaptionToTheLogName) {
  window_->Config().EQSLPassword = "wrong";
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList{"Error: No such Username/Password found"});
  EXPECT_EQ(Find<QLabel>("RzLabel3")->text(), "Download QSO: 0");
  EXPECT_EQ(window_->windowTitle(), "Main");
}

TEST_F(EqslWindowTest, IgnoreListButtonOpensTheFileBesideTheProgram) {
  Find<QPushButton>("btnIgnore")->click();
  EXPECT_EQ(shell_.text_files, QStringList{folder_.filePath("ignore.txt")});
}

}  // namespace
