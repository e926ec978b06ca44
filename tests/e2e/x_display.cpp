#include "x_display.h"

#include <xcb/xcb.h>

#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstring>

namespace {

constexpr int kStartMs = 10000;
constexpr int kToolMs = 10000;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  free(reply);
  return atom;
}

}  // namespace

XDisplay::XDisplay() : server_(std::make_unique<QProcess>()) {
  // -displayfd picks a free display number and writes it to our stdout.
  server_->setProcessChannelMode(QProcess::SeparateChannels);
  server_->start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-noreset"),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  if (!server_->waitForStarted(kStartMs)) return;
  while (!server_->canReadLine()) {
    if (!server_->waitForReadyRead(kStartMs)) return;
  }
  const QString number = QString::fromLatin1(server_->readLine()).trimmed();
  if (!number.isEmpty()) name_ = u':' + number;
}

XDisplay::~XDisplay() {
  if (server_->state() != QProcess::NotRunning) {
    server_->terminate();
    if (!server_->waitForFinished(kStartMs)) server_->kill();
    server_->waitForFinished(kStartMs);
  }
}

QString XDisplay::XDoTool(const QStringList& args, bool* ok) const {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), name_);
  tool.setProcessEnvironment(environment);
  tool.start(QStringLiteral("xdotool"), args);
  const bool finished = tool.waitForFinished(kToolMs);
  if (ok != nullptr)
    *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
  return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QStringList XDisplay::WindowsOf(qint64 pid) const {
  return XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--pid"), QString::number(pid)})
      .split(u'\n', Qt::SkipEmptyParts);
}

QString XDisplay::WindowName(const QString& window) const {
  return XDoTool({QStringLiteral("getwindowname"), window});
}

QPoint XDisplay::WindowPosition(const QString& window) const {
  const QString text = XDoTool({QStringLiteral("getwindowgeometry"), window});
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Position: (-?\\d+),(-?\\d+)")).match(text);
  return match.hasMatch() ? QPoint(match.captured(1).toInt(), match.captured(2).toInt()) : QPoint();
}

void XDisplay::Click(const QString& window, QPoint point) const {
  XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
           QString::number(point.x()), QString::number(point.y()), QStringLiteral("click"),
           QStringLiteral("1")});
}

void XDisplay::Key(const QString& window, const QString& keys) const {
  XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
  XDoTool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void XDisplay::Type(const QString& window, const QString& text) const {
  XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
  XDoTool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), text});
}

bool XDisplay::RequestClose(const QString& window) const {
  xcb_connection_t* connection = xcb_connect(name_.toLatin1().constData(), nullptr);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return false;
  }
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window.toUInt();
  event.type = Atom(connection, "WM_PROTOCOLS");
  event.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&event));
  // A round trip before the connection closes: the server has handled the
  // request only then. Without it the server may drop the event of a client
  // that has already gone (seen after keys went to the window).
  xcb_generic_error_t* error = nullptr;
  xcb_get_input_focus_reply_t* reply =
      xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), &error);
  const bool sent = reply != nullptr && error == nullptr;
  free(reply);
  free(error);
  xcb_disconnect(connection);
  return sent;
}
