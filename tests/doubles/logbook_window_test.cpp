// The running logbook double: what its window tree does with the window
// link's requests and its test requests.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QLocalSocket>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstring>

#include "platform/app_error.h"
#include "platform/text_codec.h"
#include "platform/window_link_protocol.h"
#include "support/logbook_installation.h"
#include "window/logbook_thread.h"

using namespace window_link;

namespace {

class LogbookWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    socket_path_ = dir_.filePath(QStringLiteral("Vodrix_Log3.windows"));
    WriteLogbookInstallation(dir_.path(),
                             {{QStringLiteral("Home"), QStringLiteral("LogHome"), 6},
                              {QStringLiteral("Portable"), QStringLiteral("LogPortable"), 3}},
                             QStringLiteral("Home"));
  }

  WindowTreeServer::Options Options() {
    WindowTreeServer::Options options;
    options.install_dir = dir_.path();
    options.socket_path = socket_path_;
    return options;
  }

  // One request on a connection of its own, as another process sends it.
  QStringList Request(const QStringList& fields) {
    QLocalSocket socket;
    socket.connectToServer(socket_path_);
    if (!socket.waitForConnected(2000)) return {QStringLiteral("no connection")};
    socket.write(EncodeLine(fields));
    while (!socket.canReadLine()) {
      if (!socket.waitForReadyRead(2000)) return {QStringLiteral("no reply")};
    }
    return DecodeLine(socket.readLine());
  }

  QString Handle(const char* name) {
    return QString::number(
        logbook_->Call([&](WindowTreeServer& s) { return s.Tree().HandleOf(name); }));
  }

  void Nudge() {
    ASSERT_EQ(Request({"SEND", Handle("EditNewQso"), "273", QString::number((1 << 16) | 117),
                       Handle("selector")}),
              QStringList{"0"});
  }

  QTemporaryDir dir_;
  QString socket_path_;
  std::unique_ptr<LogbookThread> logbook_;
};

TEST_F(LogbookWindowTest, NudgeReloadsTheQsoListFromTheDatabase) {
  logbook_ = std::make_unique<LogbookThread>(Options());
  // log, reloads, field A, field B, QSOs, Qorv confirmed, eQSL confirmed, sent
  EXPECT_EQ(Request({"X_STATE"}), (QStringList{"Home", "0", "", "", "6", "3", "0", "6"}));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
    db.setDatabaseName(dir_.filePath(QStringLiteral("db/logs.mdb")));
    ASSERT_TRUE(db.open());
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("UPDATE LogHome SET QorvRec = 1, QSLReceQSLcc = 1")));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("w"));
  EXPECT_EQ(Request({"X_STATE"}).mid(4), (QStringList{"6", "3", "0", "6"}));  // not yet shown

  // Clicks and a command about another control change nothing.
  EXPECT_EQ(Request({"SEND", Handle("selector"), "513", "0", "0"}), QStringList{"0"});
  EXPECT_EQ(Request({"SEND", Handle("EditNewQso"), "273", "65653", Handle("panel2.4")}),
            QStringList{"0"});
  EXPECT_EQ(Request({"X_STATE"}).mid(1, 1), QStringList{"0"});

  Nudge();
  EXPECT_EQ(Request({"X_STATE"}), (QStringList{"Home", "1", "", "", "6", "6", "6", "6"}));
}

TEST_F(LogbookWindowTest, SelectingALogShowsItAndRemembersItInTheIni) {
  logbook_ = std::make_unique<LogbookThread>(Options());
  EXPECT_EQ(Request({"X_SELECT_LOG", "Nowhere"}), QStringList{"0"});
  EXPECT_EQ(Request({"X_SELECT_LOG", "Portable"}), QStringList{"1"});
  EXPECT_EQ(Request({"GET_TEXT", Handle("selector"), "20"}), (QStringList{"8", "Portable"}));
  EXPECT_EQ(Request({"X_STATE"}).mid(4, 1), QStringList{"3"});
  EXPECT_EQ(ReadTextFileLines(dir_.filePath(QStringLiteral("Vodrix_Log3.ini"))),
            (QStringList{"[Main]", "Skin=Blue", "[EditNewQso]", "LogName=Portable", "ShowGrid=1"}));
  // A restarted logbook shows the log it remembered.
  logbook_.reset();
  logbook_ = std::make_unique<LogbookThread>(Options());
  EXPECT_EQ(Request({"X_STATE"}).first(), QStringLiteral("Portable"));
}

TEST_F(LogbookWindowTest, ReportsEntryFieldsAndEveryMessage) {
  WindowTreeServer::Options options = Options();
  options.message_log_path = dir_.filePath(QStringLiteral("messages.log"));
  logbook_ = std::make_unique<LogbookThread>(options);
  EXPECT_EQ(Request({"SET_TEXT", Handle("edit2"), "H\tH"}), QStringList{"1"});
  EXPECT_EQ(Request({"GET_TEXT", Handle("selector"), "3"}), (QStringList{"2", "Ho"}));
  EXPECT_EQ(Request({"X_STATE"}).mid(2, 2), (QStringList{"", "H\tH"}));
  const QStringList expected = {"SET_TEXT edit2 H\tH", "GET_TEXT selector 3"};
  EXPECT_EQ(Request({"X_MESSAGES"}), expected);
  EXPECT_EQ(ReadTextFileLines(options.message_log_path),
            (QStringList{"SET_TEXT edit2 H\\tH", "GET_TEXT selector 3"}));
  EXPECT_EQ(Request({"GET_TEXT", "abc", "20"}).first(), QStringLiteral("ERROR"));
  EXPECT_EQ(Request({"FIND_CHILD", "1"}).first(), QStringLiteral("ERROR"));
}

TEST_F(LogbookWindowTest, ReplacesTheSocketOfADeadLogbookButNotOfALiveOne) {
  // A socket file whose process is gone: bound, then closed without removal.
  const QByteArray path = socket_path_.toUtf8();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(fd);
  ASSERT_TRUE(QFile::exists(socket_path_));

  logbook_ = std::make_unique<LogbookThread>(Options());
  EXPECT_EQ(Request({"FIND_WINDOW", "TfmEditNewQso"}), QStringList{Handle("EditNewQso")});
  EXPECT_THROW(LogbookThread second(Options()), AppError);
  EXPECT_EQ(Request({"FIND_WINDOW", "TfmEditNewQso"}), QStringList{Handle("EditNewQso")});
  logbook_.reset();
  EXPECT_FALSE(QFile::exists(socket_path_));
}

}  // namespace
