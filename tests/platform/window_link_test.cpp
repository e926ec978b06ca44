#include "platform/window_link.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>
#include <cstring>

#include "logbook_double_fixture.h"
#include "platform/window_link_protocol.h"

using namespace window_link;

namespace {

TEST(WindowLinkProtocolTest, FieldsSurviveEscapingAndSplitting) {
  const QStringList texts = {QString(),
                             QStringLiteral("Home"),
                             QStringLiteral("a\tb"),
                             QStringLiteral("C:\\logs\\new"),
                             QStringLiteral("line1\r\nline2\n"),
                             QStringLiteral("literal \\t and \\n stay"),
                             QStringLiteral("trailing \\"),
                             QStringLiteral("Ä€ü 日本")};
  for (const QString& text : texts) {
    EXPECT_EQ(UnescapeField(EscapeField(text)), text) << text.toStdString();
    EXPECT_FALSE(EscapeField(text).contains(u'\t'));
    EXPECT_FALSE(EscapeField(text).contains(u'\n'));
  }
  EXPECT_EQ(DecodeLine(EncodeLine(texts)), texts);
}

TEST(WindowLinkProtocolTest, RequestBytesOnTheWire) {
  EXPECT_EQ(EncodeLine({QStringLiteral("SET_TEXT"), QStringLiteral("131090"),
                        QStringLiteral("a\tb\\c\r\n")}),
            QByteArray("SET_TEXT\t131090\ta\\tb\\\\c\\r\\n\n"));
  EXPECT_EQ(EncodeLine({QStringLiteral("FIND_WINDOW"), QStringLiteral("TfmEditNewQso")}),
            QByteArray("FIND_WINDOW\tTfmEditNewQso\n"));
  EXPECT_EQ(DecodeLine("5\tHo\\\\me\r\n"), (QStringList{"5", "Ho\\me"}));
  // Unknown escapes and a lone trailing backslash stand for themselves.
  EXPECT_EQ(UnescapeField(QStringLiteral("a\\xb\\")), QStringLiteral("a\\xb\\"));
}

TEST(WindowLinkTest, DefaultSocketPathFollowsTheRuntimeFolder) {
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", "/run/user/1000");
  EXPECT_EQ(SocketWindowLink::DefaultSocketPath(), "/run/user/1000/Vodrix_Log3.windows");
  qputenv("XDG_RUNTIME_DIR", "");
  EXPECT_EQ(SocketWindowLink::DefaultSocketPath(), "/tmp/Vodrix_Log3.windows");
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(SocketWindowLink::DefaultSocketPath(), "/tmp/Vodrix_Log3.windows");
  qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(WindowLinkTest, WithoutSocketEverythingIsNotFound) {
  QTemporaryDir dir;
  SocketWindowLink link(dir.filePath(QStringLiteral("none.windows")));
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
  EXPECT_EQ(link.FindChild(131090, 0, QStringLiteral("TPanel")), 0u);
  EXPECT_EQ(link.GetCtrlId(131090), 0);
  EXPECT_EQ(link.GetText(131090, 20), QString());
  EXPECT_EQ(link.SetText(131090, QStringLiteral("HH")), 0);
  EXPECT_EQ(link.Send(131090, kWmCommand, 65537, 131092), 0);
  EXPECT_LT(timer.elapsed(), 1000);  // no waiting for a logbook that is not there
}

TEST(WindowLinkTest, SilentLogbookCountsAsNotFoundAfterTheTimeOut) {
  QTemporaryDir dir;
  const QByteArray path = dir.filePath(QStringLiteral("silent.windows")).toUtf8();
  // Accepts connections (the kernel's backlog) but never reads or answers.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(::listen(fd, 4), 0);

  SocketWindowLink link(QString::fromUtf8(path), 300, 2000);
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
  EXPECT_GE(timer.elapsed(), 250);
  EXPECT_LT(timer.elapsed(), 1500);
  // The link backs off: the calls after it cost no second time-out.
  timer.restart();
  for (int poll = 0; poll < 5; ++poll) {
    EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
    EXPECT_EQ(link.GetText(131090, 20), QString());
  }
  EXPECT_LT(timer.elapsed(), 250);
  // Once the back-off has passed, the logbook is asked again.
  QThread::msleep(2000 - timer.elapsed() + 50);
  timer.restart();
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
  EXPECT_GE(timer.elapsed(), 250);
  ::close(fd);
}

class SocketWindowLinkTest : public LogbookDoubleTest {};

TEST_F(SocketWindowLinkTest, FindsWindowsByClassInChildOrder) {
  StartLogbook();
  SocketWindowLink link(socket_path_);
  const WindowHandle entry = link.FindWindow(QStringLiteral("TfmEditNewQso"));
  EXPECT_EQ(entry, Handle("EditNewQso"));
  EXPECT_EQ(link.FindWindow(QStringLiteral("TPanel")), 0u);  // only top-level windows
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmQsl")), 0u);

  const WindowHandle panel1 = link.FindChild(entry, 0, QStringLiteral("TPanel"));
  EXPECT_EQ(panel1, Handle("panel1"));
  EXPECT_EQ(link.FindChild(entry, panel1, QStringLiteral("TPanel")), Handle("panel2"));
  EXPECT_EQ(link.FindChild(entry, 0, QStringLiteral("TToolBar")), Handle("toolbar0"));
  EXPECT_EQ(link.FindChild(entry, panel1, QStringLiteral("TToolBar")), Handle("toolbar"));
  EXPECT_EQ(link.FindChild(entry, Handle("panel3"), QStringLiteral("TPanel")), 0u);
  EXPECT_EQ(link.FindChild(0, 0, QStringLiteral("TfmEditNewQso")), 0u);

  const WindowHandle selector = Handle("selector");
  EXPECT_EQ(link.GetCtrlId(selector), kSelectorCtrlId);
  EXPECT_EQ(link.GetText(selector, 20), QStringLiteral("Home"));
  EXPECT_EQ(link.GetText(selector, 3), QStringLiteral("Ho"));
  EXPECT_EQ(link.GetText(selector, 1), QString());

  EXPECT_EQ(link.SetText(Handle("edit1"), QStringLiteral("DL1\tABC\n")), 1);
  EXPECT_EQ(logbook_->Call([](WindowTreeServer& s) { return s.EntryText(1); }),
            QStringLiteral("DL1\tABC\n"));
  EXPECT_EQ(link.SetText(987654, QStringLiteral("x")), 0);  // no such window
}

TEST_F(SocketWindowLinkTest, NothingIsSentToWindowZero) {
  StartLogbook();
  SocketWindowLink link(socket_path_);
  EXPECT_EQ(link.SetText(0, QStringLiteral("HH")), 0);
  EXPECT_EQ(link.Send(0, kWmLButtonDown, 0, 0), 0);
  EXPECT_EQ(link.GetText(0, 20), QString());
  EXPECT_EQ(link.GetCtrlId(0), 0);
  EXPECT_TRUE(logbook_->Call([](WindowTreeServer& s) { return s.Messages(); }).isEmpty());
}

TEST_F(SocketWindowLinkTest, KeepsOneConnectionForManyCalls) {
  StartLogbook();
  SocketWindowLink link(socket_path_);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), Handle("EditNewQso"));
  }
  EXPECT_EQ(logbook_->Call([](WindowTreeServer& s) { return s.Connections(); }), 1);
}

TEST_F(SocketWindowLinkTest, ReconnectsAfterTheLogbookRestarts) {
  StartLogbook();
  SocketWindowLink link(socket_path_);
  ASSERT_NE(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
  logbook_.reset();
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), 0u);
  StartLogbook();
  EXPECT_EQ(link.FindWindow(QStringLiteral("TfmEditNewQso")), Handle("EditNewQso"));
  // And again on the kept connection: a restart between two calls.
  logbook_.reset();
  StartLogbook();
  EXPECT_EQ(link.GetText(Handle("selector"), 20), QStringLiteral("Home"));
}

}  // namespace
