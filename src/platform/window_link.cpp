#include "platform/window_link.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

using namespace window_link;

QString SocketWindowLink::DefaultSocketPath() {
  QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty()) folder = QStringLiteral("/tmp");
  return folder + QStringLiteral("/Vodrix_Log3.windows");
}

SocketWindowLink::SocketWindowLink(QString socket_path, int timeout_ms, int backoff_ms)
    : socket_path_(std::move(socket_path)),
      timeout_ms_(timeout_ms),
      backoff_ms_(backoff_ms),
      quiet_until_(0) {}

SocketWindowLink::~SocketWindowLink() = default;

WindowHandle SocketWindowLink::FindWindow(const QString& class_name) {
  const QStringList reply = Exchange({kFindWindow, class_name});
  return reply.isEmpty() ? 0 : ParseHandle(reply.first());
}

WindowHandle SocketWindowLink::FindChild(WindowHandle parent, WindowHandle after,
                                         const QString& class_name) {
  // Without a parent there is nothing to look in; the desktop is not searched.
  if (parent == 0) return 0;
  const QStringList reply =
      Exchange({kFindChild, HandleField(parent), HandleField(after), class_name});
  return reply.isEmpty() ? 0 : ParseHandle(reply.first());
}

qint64 SocketWindowLink::GetCtrlId(WindowHandle window) {
  if (window == 0) return 0;
  return NumberReply({kGetCtrlId, HandleField(window)});
}

QString SocketWindowLink::GetText(WindowHandle window, int room) {
  if (window == 0 || room <= 0) return QString();
  const QStringList reply = Exchange({kGetText, HandleField(window), NumberField(room)});
  if (reply.size() < 2) return QString();
  return reply.at(1).left(room - 1);
}

qint64 SocketWindowLink::SetText(WindowHandle window, const QString& text) {
  if (window == 0) return 0;
  return NumberReply({kSetText, HandleField(window), text});
}

qint64 SocketWindowLink::Send(WindowHandle window, quint32 message, quintptr wparam,
                              qint64 lparam) {
  if (window == 0) return 0;
  return NumberReply({kSend, HandleField(window), NumberField(message), QString::number(wparam),
                      NumberField(lparam)});
}

qint64 SocketWindowLink::NumberReply(const QStringList& request) {
  const QStringList reply = Exchange(request);
  return reply.isEmpty() ? 0 : ParseNumber(reply.first());
}

QStringList SocketWindowLink::Exchange(const QStringList& request) {
  if (!quiet_until_.hasExpired()) return {};
  const QByteArray line = EncodeLine(request);
  const QDeadlineTimer deadline(timeout_ms_);
  // Whatever failed after the whole time-out, the next calls would wait too.
  const auto back_off_when_late = [&] {
    if (deadline.hasExpired()) quiet_until_ = QDeadlineTimer(backoff_ms_);
  };
  const bool reused = socket_ != nullptr;
  if (!reused && !Connect(timeout_ms_)) {
    back_off_when_late();
    return {};
  }
  QStringList reply;
  Outcome outcome = TryExchange(line, int(deadline.remainingTime()), &reply);
  // A kept connection that the logbook closed while idle (a restart of the
  // logbook, say) is noticed only now; the request never arrived, so it is
  // sent once more on a new connection.
  if (outcome == Outcome::kDroppedBeforeReply && reused && Connect(int(deadline.remainingTime()))) {
    outcome = TryExchange(line, int(deadline.remainingTime()), &reply);
  }
  if (outcome != Outcome::kReply) {
    // A late reply must not be taken for the answer to the next request.
    Drop();
    back_off_when_late();
    return {};
  }
  return reply;
}

SocketWindowLink::Outcome SocketWindowLink::TryExchange(const QByteArray& line, int timeout_ms,
                                                        QStringList* reply) {
  const QDeadlineTimer deadline(qMax(timeout_ms, 0));
  if (socket_->write(line) != line.size()) return Outcome::kDroppedBeforeReply;
  while (socket_->bytesToWrite() > 0) {
    if (!socket_->waitForBytesWritten(int(deadline.remainingTime()))) {
      return socket_->state() == QLocalSocket::ConnectedState ? Outcome::kNoAnswer
                                                              : Outcome::kDroppedBeforeReply;
    }
  }
  while (!socket_->canReadLine()) {
    if (deadline.hasExpired()) return Outcome::kNoAnswer;
    if (!socket_->waitForReadyRead(int(deadline.remainingTime()))) {
      if (socket_->state() == QLocalSocket::ConnectedState) return Outcome::kNoAnswer;
      if (socket_->bytesAvailable() == 0) return Outcome::kDroppedBeforeReply;
      if (!socket_->canReadLine()) return Outcome::kNoAnswer;
    }
  }
  *reply = DecodeLine(socket_->readLine());
  return Outcome::kReply;
}

bool SocketWindowLink::Connect(int timeout_ms) {
  Drop();
  socket_ = std::make_unique<QLocalSocket>();
  socket_->connectToServer(socket_path_);
  if (socket_->state() == QLocalSocket::ConnectedState ||
      socket_->waitForConnected(qMax(timeout_ms, 0))) {
    return true;
  }
  Drop();
  return false;
}

void SocketWindowLink::Drop() {
  if (socket_ == nullptr) return;
  socket_->abort();
  socket_.reset();
}
