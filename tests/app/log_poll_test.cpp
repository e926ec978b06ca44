// The log poll, the common tail's nudge and the closing steps against the
// logbook double running as a process.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include "app/logbook_actions.h"
#include "app/logbook_fixture.h"
#include "app/program_actions.h"
#include "create/logbook_schema.h"
#include "platform/text_codec.h"
#include "platform/window_link.h"

namespace {

using window_link::kWmCommand;

class LogPollTest : public LogbookTest {
 protected:
  void SetUp() override {
    LogbookTest::SetUp();
    CreateInstallation();
  }

  void SelectLog(const QString& name) {
    ASSERT_EQ(LogbookRequest({"X_SELECT_LOG", name}), QStringList{"1"});
  }

  // The window's handle by its class path, as the window link finds it.
  WindowHandle Window(const QStringList& path) {
    SocketWindowLink link(SocketPath());
    WindowHandle window = link.FindWindow(QStringLiteral("TfmEditNewQso"));
    for (const QString& step : path) {
      const QStringList parts = step.split(u'#');  // class#n: the n-th child of that class
      WindowHandle child = 0;
      for (int i = 0; i < parts.value(1, "1").toInt(); ++i) {
        child = link.FindChild(window, child, parts[0]);
      }
      window = child;
    }
    return window;
  }

  // One message a line, for readable failures.
  std::string Pokes() const { return LogbookPokes().join('\n').toStdString(); }

  static QStringList EntryTexts(const QString& text) {
    return {"SET_TEXT edit1 " + text, "SET_TEXT edit1 " + text, "SET_TEXT edit2 " + text};
  }
  // The nudge as the double records it: clicks and the command to `control`.
  static std::string Nudge(const QString& control, WindowHandle control_handle, qint64 id) {
    QStringList pokes = EntryTexts("HH");
    for (int click = 0; click < 2; ++click) {
      pokes << "SEND " + control + " 513 0 0"
            << "SEND " + control + " 514 0 0";
    }
    pokes << QStringLiteral("SEND EditNewQso %1 %2 %3")
                 .arg(kWmCommand)
                 .arg((1 << 16) | (id & 0xFFFF))
                 .arg(control_handle);
    return (pokes + EntryTexts("")).join('\n').toStdString();
  }
};

TEST_F(LogPollTest, FollowsTheLogbookToAnotherLogWhileAnActionKeepsItsOwn) {
  StartLogbook();
  MainActions actions = ProgramActions();
  Configuration in_action;
  actions.qorv_download = [&](TfrmMain& form, const ActionContext& context) {
    SelectLog("Club");
    WaitFor([&] { return form.Config().LogName == "Club"; }, 2000);
    in_action = context.configuration;
    EXPECT_EQ(form.CurrentAction().configuration.LogFileName, "Log_Home");
    return ActionEnd::kStop;
  };
  TfrmMain& form = Create(std::move(actions));
  ASSERT_TRUE(form.LogPollActive());

  SelectLog("Portable");
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "Portable"; }, 2000));
  EXPECT_LT(timer.elapsed(), 700);  // one 300 ms period, and some slack for a busy machine
  EXPECT_EQ(form.Config().LogName, "Portable");
  EXPECT_EQ(form.Config().LogFileName, "Log_Portable");
  EXPECT_EQ(form.Config().LogSet, "Main");

  SelectLog("Home");
  ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "Home"; }, 2000));
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(in_action.LogName, "Home");
  EXPECT_EQ(in_action.LogFileName, "Log_Home");
  EXPECT_EQ(in_action.EQorvPassword, "qorv-secret");
  const Configuration& config = form.Config();
  EXPECT_EQ(form.windowTitle(), "Club");
  EXPECT_EQ(config.LogFileName, "Log_Club");
  EXPECT_EQ(config.LogSet, "Club");
  EXPECT_EQ(config.EQorvUserName, "N0CLB");
  EXPECT_EQ(config.EQorvPassword, "club-qorv");
  EXPECT_EQ(config.EQSLUserName, "N0CLB");
  EXPECT_EQ(config.EQSLPassword, "club-eqsl");
  EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(LogPollTest, FailingAconfigQueryChangesNothingAndIsTriedAgainOnlyAfterAnotherLog) {
  StartLogbook();
  TfrmMain& form = Create(ProgramActions());
  ASSERT_TRUE(form.LogPollActive());
  {
    LogbookDatabaseWriter writer(DatabaseFile());
    writer.Execute("ALTER TABLE Aconfig RENAME COLUMN EQSLPassword TO Password2");
  }
  const QString error = "Field 'EQSLPassword' not found";
  SelectLog("Portable");
  ASSERT_TRUE(WaitFor([&] { return !dialogs_.messages.isEmpty(); }, 2000));
  WaitFor([] { return false; }, 700);
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList{error});
  // The name stays with the configuration loaded for it.
  EXPECT_EQ(form.Config().LogName, "Home");
  EXPECT_EQ(form.Config().LogFileName, "Log_Home");
  EXPECT_EQ(form.Config().EQorvPassword, "qorv-secret");
  EXPECT_EQ(form.windowTitle(), "Home");
  EXPECT_TRUE(form.LogPollActive());

  // Back to the current log and on again: the failed log is tried once more.
  SelectLog("Home");
  WaitFor([] { return false; }, 700);
  SelectLog("Portable");
  ASSERT_TRUE(WaitFor([&] { return dialogs_.messages.size() == 2; }, 2000));
  WaitFor([] { return false; }, 700);
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList({error, error}));
  EXPECT_EQ(form.Config().LogName, "Home");
}

TEST_F(LogPollTest, CommonTailNudgesTheSelectorTheLogPollFound) {
  StartLogbook();
  MainActions actions = ProgramActions();
  actions.qorv_download = [](TfrmMain& form, const ActionContext&) {
    form.SetCaption("Waiting...");
    return ActionEnd::kCommonTail;
  };
  TfrmMain& form = Create(std::move(actions));
  Find<QPushButton>("btnQorv")->click();
  EXPECT_EQ(form.windowTitle(), "Home");
  // The entry field's panel is the control after "HH"; the poll during the
  // one-second wait puts the selector back, so the clicks reach it.
  EXPECT_EQ(Pokes(), Nudge("selector", Window({"TToolBar#2", "TRxDBLookupCombo"}), 65653));
  EXPECT_EQ(LogbookRequest({"X_STATE"}).value(1), "1");  // one reload
  EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(LogPollTest, LogbookStartedLaterIsFollowedAndNudgedAtClosing) {
  TfrmMain& form = Create(ProgramActions());
  EXPECT_TRUE(form.LogPollActive());
  StartLogbook();
  SelectLog("Portable");
  ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "Portable"; }, 2000));
  EXPECT_EQ(form.Config().LogFileName, "Log_Portable");
  EXPECT_TRUE(LogbookPokes().isEmpty());

  form.close();
  // The poll during the nudge's wait puts the selector back as the control;
  // no selector id was ever read, so the command carries none.
  EXPECT_EQ(Pokes(), Nudge("selector", Window({"TToolBar#2", "TRxDBLookupCombo"}), 0));
  EXPECT_TRUE(dialogs_.messages.isEmpty());  // running: not started again
}

TEST_F(LogPollTest, ClosingWithoutTheLogbookStartsIt) {
  const QString exe = InstallFolder() + "Vodrix_Log3.exe";
  const QString record = root_.filePath("started.txt");
  struct Case {
    bool file_present;
    QStringList messages;
  };
  const Case cases[] = {
      {true, {}},
      {false, {"Can not find file to run:\n" + exe}},
  };
  for (const Case& c : cases) {
    QFile::remove(exe);
    if (c.file_present) {
      // Written aside and renamed, so the record is whole once it exists.
      WriteFileBytes(exe, "#!/bin/sh\npwd > '" + record.toUtf8() + ".part' && mv '" +
                              record.toUtf8() + ".part' '" + record.toUtf8() + "'\n");
      QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    form.close();
    EXPECT_EQ(dialogs_.MessageTexts(), c.messages);
    if (c.file_present) {
      ASSERT_TRUE(WaitFor([&] { return QFile::exists(record); }, 5000));
      EXPECT_EQ(ReadFileBytes(record).trimmed(), InstallFolder().chopped(1).toUtf8());
    } else {
      EXPECT_EQ(dialogs_.messages.value(0).caption, "Error!");
    }
  }
}

}  // namespace
