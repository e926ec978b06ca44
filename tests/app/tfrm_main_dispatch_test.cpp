// The action button's dispatch, the other action buttons, one action at a
// time, the error guard, the login pages and the file dialog.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <stdexcept>

#include "app/error_box.h"
#include "app_test_support.h"
#include "main_window_fixture.h"
#include "platform/app_error.h"
#include "platform/operation_abandon.h"
#include "support/recording_ui.h"

namespace {

const QDateTime kClick(QDate(2024, 3, 5), QTime(14, 30), Qt::UTC);

// Records every slot the window calls, in order.
struct Recorder {
  QStringList calls;
  QList<ActionContext> contexts;

  MainActions::PageAction Page(const QString& name, ActionEnd end,
                               std::function<void(TfrmMain&)> during = {}) {
    return [this, name, end, during](TfrmMain& window, const ActionContext& context) {
      calls.append(name);
      contexts.append(context);
      if (during) during(window);
      return end;
    };
  }
  MainActions::Handler Step(const QString& name) {
    return [this, name](TfrmMain&) { calls.append(name); };
  }
  MainActions Actions(ActionEnd qorv_end = ActionEnd::kCommonTail) {
    MainActions actions;
    actions.qorv_download = Page(QStringLiteral("qorv"), qorv_end);
    actions.eqsl_download = Page(QStringLiteral("eqsl"), ActionEnd::kCommonTail);
    actions.upload = Page(QStringLiteral("upload"), ActionEnd::kCommonTail);
    actions.locate_log_selector = Step(QStringLiteral("locate"));
    actions.nudge_logbook = Step(QStringLiteral("nudge"));
    return actions;
  }
};

TEST_F(MainWindowTest, ActionButtonRunsThePageActionThenTheCommonTail) {
  FixedClock clock(kClick);
  for (int page : {0, 1, 2}) {
    SCOPED_TRACE(page);
    Recorder recorder;
    TfrmMain& window = Create(recorder.Actions());
    window.Config().LogName = QStringLiteral("Home");
    window.show();
    ClickTab(page);
    window.SetCaption(QStringLiteral("Waiting..."));
    Find<QPushButton>("btnQorv")->click();
    const QStringList names = {QStringLiteral("qorv"), QStringLiteral("eqsl"),
                               QStringLiteral("upload")};
    EXPECT_EQ(recorder.calls,
              QStringList({names[page], QStringLiteral("locate"), QStringLiteral("nudge")}));
    ASSERT_EQ(recorder.contexts.size(), 1);
    EXPECT_EQ(recorder.contexts[0].start_utc, kClick);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Home"));
  }
}

TEST_F(MainWindowTest, PageSwitchedDuringAnActionStartsNothingMore) {
  for (int switched_to : {0, 2}) {
    SCOPED_TRACE(switched_to);
    Recorder recorder;
    MainActions actions = recorder.Actions();
    actions.eqsl_download = recorder.Page(QStringLiteral("eqsl"), ActionEnd::kCommonTail,
                                          [this, switched_to](TfrmMain& window) {
                                            // The user moves on while the download runs; the log
                                            // poll sees a new log.
                                            Pages()->setCurrentIndex(switched_to);
                                            window.Config().LogName = QStringLiteral("Portable");
                                          });
    TfrmMain& window = Create(std::move(actions));
    window.Config().LogName = QStringLiteral("Home");
    window.show();
    ClickTab(1);
    Find<QPushButton>("btnQorv")->click();
    EXPECT_EQ(recorder.calls, QStringList({QStringLiteral("eqsl"), QStringLiteral("locate"),
                                           QStringLiteral("nudge")}));
    // The action keeps the log it started with; the caption follows the poll.
    ASSERT_EQ(recorder.contexts.size(), 1);
    EXPECT_EQ(recorder.contexts[0].configuration.LogName, QStringLiteral("Home"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Portable"));
  }
}

TEST_F(MainWindowTest, EarlyStopEndsTheClickWithoutTheCommonTail) {
  Recorder recorder;
  MainActions actions = recorder.Actions();
  actions.qorv_download =
      recorder.Page(QStringLiteral("qorv"), ActionEnd::kStop,
                    [](TfrmMain& window) { window.SetCaption(QStringLiteral("Waiting...")); });
  TfrmMain& window = Create(std::move(actions));
  window.Config().LogName = QStringLiteral("Home");
  window.show();
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(recorder.calls, QStringList({QStringLiteral("qorv")}));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Waiting..."));
}

TEST_F(MainWindowTest, ActionButtonsAreDisabledWhileAnActionRuns) {
  const char* buttons[] = {"btnQorv", "btnQorvAdif", "btnIgnore", "btnADIF"};
  QList<bool> enabled_during;
  bool page_control_live = false;
  int nested_runs = 0;
  MainActions actions;
  actions.qorv_download = [&](TfrmMain& window, const ActionContext&) {
    for (const char* name : buttons) enabled_during.append(Find<QPushButton>(name)->isEnabled());
    page_control_live = Pages()->isEnabled() && Find<QCheckBox>("cbUpdateloc")->isEnabled();
    Find<QPushButton>("btnQorvAdif")->click();
    window.btnQorvClick();  // a second start inside the first is refused
    return ActionEnd::kCommonTail;
  };
  actions.qorv_adif_import = [&](TfrmMain&) { ++nested_runs; };
  actions.upload = [&](TfrmMain&, const ActionContext&) -> ActionEnd {
    throw AppError(QStringLiteral("'x' is not a valid integer value"));
  };
  TfrmMain& window = Create(std::move(actions));
  window.show();
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(enabled_during, QList<bool>({false, false, false, false}));
  EXPECT_TRUE(page_control_live);
  EXPECT_EQ(nested_runs, 0);
  EXPECT_FALSE(window.ActionRunning());

  ClickTab(2);
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(dialogs_.MessageTexts(),
            QStringList({QStringLiteral("'x' is not a valid integer value")}));
  for (const char* name : buttons) EXPECT_TRUE(Find<QPushButton>(name)->isEnabled()) << name;
  Find<QPushButton>("btnQorvAdif")->click();
  EXPECT_EQ(nested_runs, 1);
}

TEST_F(MainWindowTest, ClosingDuringAnActionAbandonsItThenCloses) {
  Recorder recorder;
  MainActions actions = recorder.Actions();
  bool went_on = false;
  actions.qorv_download = [&](TfrmMain& window, const ActionContext&) {
    window.close();  // the user closes the window while the download runs
    EXPECT_TRUE(window.isVisible());
    // The exchange failed as it was abandoned: its box is not shown.
    window.ShowMessage(MessageKind::kError, QStringLiteral("Exchange failed"));
    window.ProcessEvents();  // the operation's next step ends it
    went_on = true;
    return ActionEnd::kCommonTail;
  };
  QList<bool> buttons_enabled_at_closing;
  actions.closing = [&](TfrmMain&) {
    for (const char* name : {"btnQorv", "btnQorvAdif", "btnIgnore", "btnADIF"}) {
      buttons_enabled_at_closing.append(Find<QPushButton>(name)->isEnabled());
    }
  };
  TfrmMain& window = Create(std::move(actions));
  window.show();
  Find<QPushButton>("btnQorv")->click();

  EXPECT_FALSE(went_on);
  EXPECT_TRUE(recorder.calls.isEmpty());  // no common tail
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(QFile::exists(SettingsFile()));
  EXPECT_EQ(buttons_enabled_at_closing, QList<bool>({false, false, false, false}));
  EXPECT_FALSE(AbandonRequested());
}

TEST_F(MainWindowTest, ErrorsOfEveryHandlerReachTheErrorBox) {
  Recorder recorder;
  MainActions actions = recorder.Actions();
  actions.eqsl_download = [](TfrmMain&, const ActionContext&) -> ActionEnd {
    throw std::runtime_error("disk full");
  };
  actions.ignore_list = [](TfrmMain&) { throw AppError(QStringLiteral("Cannot open file")); };
  actions.location_drop_down = [](TfrmMain&) { throw AppError(QStringLiteral("no station")); };
  actions.log_poll = [](TfrmMain&) { throw AppError(QStringLiteral("Field 'LogSet' not found")); };
  TfrmMain& window = Create(std::move(actions));
  window.show();
  ClickTab(1);
  Find<QPushButton>("btnQorv")->click();
  Find<QPushButton>("btnIgnore")->click();
  window.edLocationDropDown();
  window.TimerTimer();
  EXPECT_TRUE(recorder.calls.isEmpty());  // no common tail after an error
  ASSERT_EQ(dialogs_.messages.size(), 4);
  EXPECT_EQ(
      dialogs_.MessageTexts(),
      QStringList({QStringLiteral("disk full"), QStringLiteral("Cannot open file"),
                   QStringLiteral("no station"), QStringLiteral("Field 'LogSet' not found")}));
  for (const auto& message : dialogs_.messages) EXPECT_EQ(message.kind, MessageKind::kError);
}

TEST(ErrorBoxTest, RunGuardedReportsAndSwallowsEveryError) {
  RecordingUi ui;
  EXPECT_TRUE(RunGuarded(ui, [] {}));
  EXPECT_FALSE(RunGuarded(ui, [] { throw AppError(QStringLiteral("first")); }));
  EXPECT_FALSE(RunGuarded(ui, [] { throw std::out_of_range("second"); }));
  EXPECT_FALSE(RunGuarded(ui, [] { throw 42; }));
  ASSERT_EQ(ui.messages.size(), 3);
  EXPECT_EQ(ui.messages[0].text, QStringLiteral("first"));
  EXPECT_EQ(ui.messages[1].text, QStringLiteral("second"));
  for (const auto& message : ui.messages) EXPECT_EQ(message.kind, MessageKind::kError);
}

TEST_F(MainWindowTest, LoginPagesCarryPercentEncodedCredentials) {
  RecordingShell shell;
  QFile settings(SettingsFile());
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[Services]\r\nQorvWeb=https://qorv.test:8443/\r\n");
  settings.close();
  TfrmMain& window = Create();
  window.Config().EQorvUserName = QStringLiteral("K1 A&B");
  window.Config().EQorvPassword = QStringLiteral("p w&x=1%");
  window.Config().EQSLUserName = QStringLiteral("DL1ABC");
  window.Config().EQSLPassword = QString();
  window.show();
  ClickWidget(Find<QWidget>("Image1"));
  ClickTab(2);
  ClickWidget(Find<QWidget>("Image3"));
  ClickTab(1);
  ClickWidget(Find<QWidget>("Image2"));
  const QString qorv = QStringLiteral(
      "https://qorv.test:8443/qorvuser/default?login=K1%20A%26B&password=p%20w%26x%3D1%25");
  EXPECT_EQ(shell.urls, QStringList({qorv, qorv,
                                     QStringLiteral("https://www.eqsl.cc/qslcard/LoginFinish.cfm?"
                                                    "Callsign=DL1ABC&EnteredPassword=")}));
  EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(MainWindowTest, MissingQorvWebAddressIsReportedByItsKey) {
  RecordingShell shell;
  TfrmMain& window = Create();
  window.show();
  ClickWidget(Find<QWidget>("Image1"));
  EXPECT_TRUE(shell.urls.isEmpty());
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(dialogs_.messages[0].text.contains(QStringLiteral("\"QorvWeb\"")));
  EXPECT_TRUE(dialogs_.messages[0].text.contains(QStringLiteral("[Services]")));
}

TEST_F(MainWindowTest, OpenDialogRemembersItsLastFileAndTextFilesGoToTheEditor) {
  RecordingShell shell;
  TfrmMain& window = Create();
  dialogs_.file_answers = {QStringLiteral("/tmp/report.adi"), QString()};
  QString path;
  EXPECT_TRUE(window.ChooseAdifFile(&path));
  EXPECT_EQ(path, QStringLiteral("/tmp/report.adi"));
  EXPECT_FALSE(window.ChooseAdifFile(&path));
  EXPECT_EQ(path, QStringLiteral("/tmp/report.adi"));
  ASSERT_EQ(dialogs_.file_requests.size(), 2);
  EXPECT_EQ(dialogs_.file_requests[0].filter, QStringLiteral("adi (*.adi)"));
  EXPECT_EQ(dialogs_.file_requests[0].default_suffix, QStringLiteral("adi"));
  EXPECT_EQ(dialogs_.file_requests[1].initial_path, QStringLiteral("/tmp/report.adi"));

  window.ShowTextFile(QStringLiteral("/work/QorvError.txt"));
  EXPECT_EQ(shell.text_files, QStringList({QStringLiteral("/work/QorvError.txt")}));
}

}  // namespace
