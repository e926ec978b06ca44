// The Qorv page's buttons on the real window: what the actions read from its
// elements and how they end.
#include "app/confirmation_actions.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_test_support.h"
#include "app/main_window_fixture.h"
#include "confirmation_fixture.h"
#include "support/service_double_process.h"
#include "platform/text_codec.h"
#include "report_text.h"

namespace {

class ConfirmationActionsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    service_.WriteState("accounts.txt", "qorv\tW1AW\tsecret\n");
    service_.WriteState("qorv/W1AW.adi",
                        (Record("K1AA", "40M", "CW", "20210917", "0000", F("GRIDSQUARE", "FN31")) +
                         "\n" + Record("NOBODY", "20M", "FT8", "20210917", "1200") + "\n")
                            .toLatin1());
    ASSERT_TRUE(service_.Start());
    MainActions actions;
    actions.qorv_download = QorvDownload;
    actions.qorv_adif_import = QorvAdifImport;
    actions.locate_log_selector = [this](TfrmMain&) { tail_ << "locate"; };
    actions.nudge_logbook = [this](TfrmMain&) { tail_ << "nudge"; };
    WriteTextFileLines(SettingsFile(),
                       {QStringLiteral("[Services]"),
                        QStringLiteral("Qorv=http://127.0.0.1:%1").arg(service_.http_port())});
    TfrmMain& window = Create(std::move(actions));
    Configuration& config = window.Config();
    config.InstallPath = folder_.path() + QStringLiteral("/install/");
    QDir().mkpath(config.InstallPath);
    config.LogName = QStringLiteral("Home");
    config.LogSet = QStringLiteral("A");
    config.EQorvUserName = QStringLiteral("W1AW");
    config.EQorvPassword = QStringLiteral("secret");
    window.Database().OpenLogDatabase(log_.DatabasePath());
  }

  QString Label() const { return Find<QLabel>("RzLabel2")->text(); }

  ConfirmationLog log_;
  ServiceDoubleProcess service_;
  RecordingShell shell_;
  FixedClock clock_{QDateTime(QDate(2021, 10, 9), QTime(22, 30), Qt::UTC)};
  QStringList tail_;
};

TEST_F(ConfirmationActionsTest, DownloadReadsThePageAndEndsInTheCommonTail) {
  Find<QCheckBox>("cbUpdateloc")->setChecked(true);
  QDateEdit* picker = Find<QDateEdit>("DateTimePicker");
  picker->setDate(QDate(2021, 7, 1));
  const QTime time_of_day = picker->time();

  window_->btnQorvClick();

  EXPECT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(log_.Row("Log_Home", 3, {"QorvRec", "Grid"}), "1|FN31");
  EXPECT_EQ(Label(), "Download QSO: 2");
  EXPECT_EQ(picker->date(), QDate(2021, 10, 9));
  EXPECT_EQ(picker->time(), time_of_day);
  EXPECT_EQ(shell_.text_files, QStringList{folder_.path() + "/QorvError.txt"});
  EXPECT_EQ(tail_, (QStringList{"locate", "nudge"}));
  EXPECT_EQ(window_->windowTitle(), "Home");
}

TEST_F(ConfirmationActionsTest, DownloadWithoutAServiceAddressNamesTheSetting) {
  window_->Config().Services.qorv.clear();  // as read from a file without the key
  window_->btnQorvClick();
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(dialogs_.messages[0].text.contains("\"Qorv\""))
      << dialogs_.messages[0].text.toStdString();
  EXPECT_TRUE(dialogs_.messages[0].text.contains("[Services]"));
  EXPECT_TRUE(dialogs_.messages[0].text.contains("qorv.ini"));
  EXPECT_EQ(Label(), "Download QSO: 0");
  EXPECT_TRUE(tail_.isEmpty());
}

TEST_F(ConfirmationActionsTest, DownloadWithoutLoginStopsBeforeAnything) {
  window_->Config().EQorvPassword.clear();
  window_->setWindowTitle(QStringLiteral("Home"));
  window_->btnQorvClick();
  EXPECT_EQ(dialogs_.MessageTexts(),
            QStringList{"Not Qorv login or password. Check the Vodrix_Log for the login and "
                        "password fields in Log Configuration."});
  EXPECT_EQ(Label(), "");
  EXPECT_TRUE(tail_.isEmpty());
}

TEST_F(ConfirmationActionsTest, ImportShowsTheLogbookOnlyAfterARun) {
  Find<QLabel>("RzLabel2")->setText(QStringLiteral("before"));
  window_->btnQorvAdifClick();  // cancelled
  EXPECT_EQ(Label(), "before");
  EXPECT_TRUE(tail_.isEmpty());

  const QString report = folder_.filePath(QStringLiteral("report.adi"));
  WriteFileBytes(report, Record("K1AA", "40M", "CW", "20210917", "0000").toLatin1());
  dialogs_.file_answers = QStringList{report};
  window_->btnQorvAdifClick();
  EXPECT_EQ(log_.Row("Log_Home", 3, {"QorvRec"}), "1");
  EXPECT_EQ(Label(), "Download QSO: 1");
  EXPECT_EQ(tail_, (QStringList{"locate", "nudge"}));
  EXPECT_EQ(dialogs_.file_requests.last().filter, "adi (*.adi)");
}

}  // namespace
