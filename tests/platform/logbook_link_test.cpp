#include "platform/logbook_link.h"

#include <gtest/gtest.h>

#include <QLocalSocket>

#include "logbook_double_fixture.h"

using namespace window_link;

namespace {

class LogbookLinkTest : public LogbookDoubleTest {
 protected:
  void SelectLog(const QString& name) {
    ASSERT_TRUE(logbook_->Call([&](WindowTreeServer& s) { return s.SelectLog(name); }));
  }
  int Reloads() {
    return logbook_->Call([](WindowTreeServer& s) { return s.Reloads(); });
  }
  QString EntryText(int panel) {
    return logbook_->Call([&](WindowTreeServer& s) { return s.EntryText(panel); });
  }

  QString Command(const QString& lparam_name) {
    return QStringLiteral("SEND EditNewQso 273 %1 %2")
        .arg((1 << 16) | (kSelectorCtrlId & 0xFFFF))
        .arg(Number(lparam_name));
  }
  QStringList Clicks(const QString& target) {
    return {"SEND " + target + " 513 0 0", "SEND " + target + " 514 0 0",
            "SEND " + target + " 513 0 0", "SEND " + target + " 514 0 0"};
  }
  static QStringList EntryTexts(const QString& text) {
    return {"SET_TEXT edit1 " + text, "SET_TEXT edit1 " + text, "SET_TEXT edit2 " + text};
  }
};

TEST_F(LogbookLinkTest, LocatesTheSelectorInTheToolbarAfterTheFirstPanel) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.LocateLogSelector();
  EXPECT_EQ(link.LogbookWindow(), Handle("EditNewQso"));
  EXPECT_EQ(link.LogbookContainer(), Handle("toolbar"));
  EXPECT_EQ(link.LogbookControl(), Handle("selector"));
  EXPECT_EQ(link.LogSelectorId(), kSelectorCtrlId);
}

TEST_F(LogbookLinkTest, WithoutLogbookNothingIsFoundOrSent) {
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.LocateLogSelector();
  EXPECT_EQ(link.LogbookWindow(), 0u);
  EXPECT_EQ(link.LogbookControl(), 0u);
  EXPECT_EQ(link.LogSelectorId(), 0);
  EXPECT_EQ(link.PollSelectorText(QStringLiteral("Home")), QString());
  int delays = 0;
  link.NudgeLogbook([&](quint32) { ++delays; });
  EXPECT_EQ(delays, 1);
  EXPECT_EQ(link.LogbookControl(), 0u);
}

TEST_F(LogbookLinkTest, PollReadsTheSelectorAndReportsOnlyAChange) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  struct Case {
    QString shown;
    QString log_name;
    QString expected;
  };
  const Case cases[] = {
      {"Home", "Home", ""},
      {"Home", "Portable", "Home"},
      {"Home", "HOME", "Home"},  // letter case counts
      {"Portable", "Home", "Portable"},
      {kLongLog, "Home", kLongLog.left(19)},
  };
  for (const Case& c : cases) {
    SelectLog(c.shown);
    EXPECT_EQ(link.PollSelectorText(c.log_name), c.expected) << c.shown.toStdString();
    EXPECT_EQ(link.LogbookControl(), Handle("selector"));
  }
  EXPECT_EQ(link.LogSelectorId(), 0);  // the poll does not read the id
}

TEST_F(LogbookLinkTest, PollFollowsALogSwitchedInTheLogbook) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  EXPECT_EQ(link.PollSelectorText(QStringLiteral("Home")), QString());
  // A switch as the user makes it, through the double's test request.
  QLocalSocket socket;
  socket.connectToServer(socket_path_);
  ASSERT_TRUE(socket.waitForConnected(2000));
  socket.write(EncodeLine({QStringLiteral("X_SELECT_LOG"), QStringLiteral("Portable")}));
  while (!socket.canReadLine()) ASSERT_TRUE(socket.waitForReadyRead(2000));
  EXPECT_EQ(DecodeLine(socket.readLine()), QStringList{"1"});
  EXPECT_EQ(link.PollSelectorText(QStringLiteral("Home")), QStringLiteral("Portable"));
  EXPECT_EQ(link.PollSelectorText(QStringLiteral("Portable")), QString());
}

TEST_F(LogbookLinkTest, EntryTextGoesToFieldAThenAThenB) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.SetLogbookEntryText(QStringLiteral("HH"));
  EXPECT_EQ(Pokes(), EntryTexts("HH"));
  EXPECT_EQ(EntryText(1), QStringLiteral("HH"));
  EXPECT_EQ(EntryText(2), QStringLiteral("HH"));
  EXPECT_EQ(link.LogbookWindow(), Handle("EditNewQso"));
  EXPECT_EQ(link.LogbookControl(), Handle("panel2.4"));
  EXPECT_EQ(link.LogbookContainer(), Handle("edit2"));
}

TEST_F(LogbookLinkTest, FirstPanelWithoutSubPanelsGetsFieldBTwice) {
  StartLogbook({.first_panel_sub_panels = 0});
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.SetLogbookEntryText(QStringLiteral("HH"));
  EXPECT_EQ(Pokes(), (QStringList{"SET_TEXT edit2 HH", "SET_TEXT edit2 HH"}));
  EXPECT_EQ(link.LogbookControl(), Handle("panel2.4"));
  EXPECT_EQ(link.LogbookContainer(), Handle("edit2"));
}

TEST_F(LogbookLinkTest, FirstPanelWithTooFewSubPanelsFindsNoFieldA) {
  // Two sub-panels: the search for the fourth must not start over at the
  // first one, which holds an entry field too.
  StartLogbook({.first_panel_sub_panels = 2});
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.SetLogbookEntryText(QStringLiteral("HH"));
  EXPECT_EQ(Pokes(), QStringList{"SET_TEXT edit2 HH"});
}

TEST_F(LogbookLinkTest, NudgeWithoutPollReachesTheSubPanel) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.LocateLogSelector();
  QList<quint32> delays;
  link.NudgeLogbook([&](quint32 ms) { delays << ms; });
  EXPECT_EQ(delays, QList<quint32>{1000});
  const QStringList expected =
      EntryTexts("HH") + Clicks("panel2.4") + QStringList{Command("panel2.4")} + EntryTexts("");
  EXPECT_EQ(Pokes(), expected);
  EXPECT_EQ(Reloads(), 0);  // the command did not come from the selector
  EXPECT_EQ(EntryText(1), QString());
  EXPECT_EQ(EntryText(2), QString());
}

TEST_F(LogbookLinkTest, NudgeWithPollDuringTheWaitReachesTheSelector) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  link.LocateLogSelector();
  // The log poll runs about three times during the second's wait.
  link.NudgeLogbook([&](quint32) {
    for (int i = 0; i < 3; ++i) link.PollSelectorText(QStringLiteral("Home"));
  });
  const QStringList expected =
      EntryTexts("HH") + Clicks("selector") + QStringList{Command("selector")} + EntryTexts("");
  EXPECT_EQ(Pokes(), expected);
  EXPECT_EQ(Reloads(), 1);
  const QStringList messages = logbook_->Call([](WindowTreeServer& s) { return s.Messages(); });
  EXPECT_EQ(messages.count(QStringLiteral("GET_TEXT selector 20")), 3);
}

TEST_F(LogbookLinkTest, ClosingNudgeUsesTheLastReadSelectorId) {
  StartLogbook();
  SocketWindowLink window_link(socket_path_);
  LogbookLink link(window_link);
  // No look-up before: the id is still 0, only the poll has found the selector.
  link.NudgeLogbook([&](quint32) { link.PollSelectorText(QStringLiteral("Home")); });
  EXPECT_TRUE(
      Pokes().contains(QStringLiteral("SEND EditNewQso 273 65536 %1").arg(Number("selector"))));
  EXPECT_EQ(Reloads(), 1);
}

}  // namespace
