#include "window/window_tree_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/app_error.h"
#include "platform/window_link.h"
#include "platform/window_link_protocol.h"

using namespace window_link;

namespace {

const QString kSelectLog = QStringLiteral("X_SELECT_LOG");
const QString kState = QStringLiteral("X_STATE");
const QString kMessages = QStringLiteral("X_MESSAGES");

QStringList Error(const QString& text) { return {QStringLiteral("ERROR"), text}; }

WindowTreeServer::Options WithDefaults(WindowTreeServer::Options options) {
  if (options.socket_path.isEmpty()) options.socket_path = SocketWindowLink::DefaultSocketPath();
  return options;
}

QString IniPath(const QString& install_dir) {
  return QDir(install_dir).filePath(QStringLiteral("Vodrix_Log3.ini"));
}

}  // namespace

WindowTreeServer::WindowTreeServer(Options options, QObject* parent)
    : QObject(parent),
      options_(WithDefaults(std::move(options))),
      database_(QDir(options_.install_dir).filePath(QStringLiteral("db/logs.mdb"))) {
  BuildEntryWindowTree(tree_, options_.layout);
  tree_.Find(tree_.HandleOf(QStringLiteral("EditNewQso")))->text = QStringLiteral("New QSO");
  log_names_ = database_.LogNames();
  QString current = ReadCurrentLogName(IniPath(options_.install_dir));
  // A logbook whose remembered log is gone shows its first log.
  if (!log_names_.contains(current) && !log_names_.isEmpty()) current = log_names_.first();
  tree_.Find(tree_.HandleOf(QStringLiteral("selector")))->text = current;
  qsos_ = database_.LoadQsos(current);
  if (!options_.message_log_path.isEmpty()) {
    message_log_ = std::make_unique<QFile>(options_.message_log_path);
    if (!message_log_->open(QIODevice::Append | QIODevice::Text)) {
      throw AppError(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(options_.message_log_path, message_log_->errorString()));
    }
  }
}

WindowTreeServer::~WindowTreeServer() {
  // Closing the server removes its socket file.
  if (server_ != nullptr) server_->close();
}

void WindowTreeServer::Listen() {
  const QString& path = options_.socket_path;
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (QFileInfo::exists(path)) {
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.state() == QLocalSocket::ConnectedState || probe.waitForConnected(500)) {
      throw AppError(QStringLiteral("Another logbook serves its windows on ") + path);
    }
    QLocalServer::removeServer(path);  // left by a process that died
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path)) throw AppError(server_->errorString());
  connect(server_, &QLocalServer::newConnection, this, &WindowTreeServer::OnNewConnection);
}

QString WindowTreeServer::CurrentLog() const {
  return tree_.Find(tree_.HandleOf(QStringLiteral("selector")))->text;
}

QString WindowTreeServer::EntryText(int top_panel) const {
  const WindowTree::Window* field =
      tree_.Find(tree_.HandleOf(QStringLiteral("edit%1").arg(top_panel)));
  return field != nullptr ? field->text : QString();
}

bool WindowTreeServer::SelectLog(const QString& name) {
  if (!log_names_.contains(name)) return false;
  tree_.Find(tree_.HandleOf(QStringLiteral("selector")))->text = name;
  WriteCurrentLogName(IniPath(options_.install_dir), name);
  qsos_ = database_.LoadQsos(name);
  Q_EMIT LogChanged(name);
  Q_EMIT QsosReloaded();
  return true;
}

void WindowTreeServer::Reload() {
  qsos_ = database_.LoadQsos(CurrentLog());
  ++reloads_;
  Q_EMIT QsosReloaded();
}

void WindowTreeServer::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    ++connections_;
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    OnReadyRead(socket);
  }
}

void WindowTreeServer::OnReadyRead(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    const QStringList request = DecodeLine(socket->readLine());
    QStringList reply;
    try {
      reply = Answer(request);
    } catch (const AppError& error) {
      reply = Error(error.Message());
    }
    socket->write(EncodeLine(reply));
  }
}

QStringList WindowTreeServer::Answer(const QStringList& request) {
  const QString verb = request.value(0);
  const qsizetype args = request.size() - 1;
  bool ok = true;
  if (verb == QLatin1String(kFindWindow) && args == 1) {
    return {HandleField(tree_.FindTopLevel(request.at(1)))};
  }
  if (verb == QLatin1String(kFindChild) && args == 3) {
    bool after_ok = true;
    const WindowHandle parent = ParseHandle(request.at(1), &ok);
    const WindowHandle after = ParseHandle(request.at(2), &after_ok);
    if (ok && after_ok) return {HandleField(tree_.FindChild(parent, after, request.at(3)))};
  } else if (verb == QLatin1String(kGetCtrlId) && args == 1) {
    const WindowTree::Window* window = tree_.Find(ParseHandle(request.at(1), &ok));
    if (ok) return {NumberField(window != nullptr ? window->ctrl_id : 0)};
  } else if (verb == QLatin1String(kGetText) || verb == QLatin1String(kSetText) ||
             verb == QLatin1String(kSend)) {
    QStringList reply = AnswerMessage(request);
    if (!reply.isEmpty()) return reply;
  } else if (verb == kSelectLog && args == 1) {
    return {SelectLog(request.at(1)) ? QStringLiteral("1") : QStringLiteral("0")};
  } else if (verb == kState && args == 0) {
    return State();
  } else if (verb == kMessages && args == 0) {
    return messages_;
  }
  return Error(QStringLiteral("Bad request: ") + request.join(u' '));
}

// The three window messages; an empty reply for a malformed request.
QStringList WindowTreeServer::AnswerMessage(const QStringList& request) {
  const QString& verb = request.at(0);
  const qsizetype args = request.size() - 1;
  bool ok = true;
  const WindowHandle handle = ParseHandle(request.value(1), &ok);
  if (!ok) return {};
  WindowTree::Window* window = tree_.Find(handle);
  const QString target = tree_.NameOf(handle);

  if (verb == QLatin1String(kGetText) && args == 2) {
    const qint64 room = ParseNumber(request.at(2), &ok);
    if (!ok) return {};
    Record(QStringLiteral("GET_TEXT %1 %2").arg(target).arg(room));
    const QString text = window != nullptr && room > 1 ? window->text.left(room - 1) : QString();
    return {NumberField(text.size()), text};
  }
  if (verb == QLatin1String(kSetText) && args == 2) {
    Record(QStringLiteral("SET_TEXT %1 %2").arg(target, request.at(2)));
    if (window == nullptr) return {QStringLiteral("0")};
    window->text = request.at(2);
    for (int panel : {1, 2}) {
      if (window->name == QStringLiteral("edit%1").arg(panel)) {
        Q_EMIT EntryTextChanged(panel, window->text);
      }
    }
    return {QStringLiteral("1")};
  }
  if (verb == QLatin1String(kSend) && args == 4) {
    bool wparam_ok = true;
    bool lparam_ok = true;
    const qint64 message = ParseNumber(request.at(2), &ok);
    const quint64 wparam = request.at(3).toULongLong(&wparam_ok);
    const qint64 lparam = ParseNumber(request.at(4), &lparam_ok);
    if (!ok || !wparam_ok || !lparam_ok) return {};
    Record(QStringLiteral("SEND %1 %2 %3 %4").arg(target).arg(message).arg(wparam).arg(lparam));
    if (window == nullptr) return {QStringLiteral("0")};
    // The form passes a command to the control named by the second
    // parameter; the selector answers a selection change by reloading.
    const bool selection_change =
        message == kWmCommand && (wparam >> 16) == kCbnSelChange &&
        window->name == QLatin1String("EditNewQso") &&
        WindowHandle(lparam) == tree_.HandleOf(QStringLiteral("selector"));
    if (selection_change) Reload();
    return {QStringLiteral("0")};
  }
  return {};
}

void WindowTreeServer::Record(const QString& message) {
  messages_ << message;
  if (message_log_ != nullptr) {
    message_log_->write(EscapeField(message).toUtf8() + '\n');
    message_log_->flush();
  }
}

QStringList WindowTreeServer::State() const {
  int qorv_rec = 0;
  int eqsl_rec = 0;
  int qorv_sent = 0;
  for (const QsoRow& row : qsos_) {
    qorv_rec += row.qorv_rec;
    eqsl_rec += row.eqsl_rec;
    qorv_sent += row.qorv_sent;
  }
  return {CurrentLog(),
          QString::number(reloads_),
          EntryText(1),
          EntryText(2),
          QString::number(qsos_.size()),
          QString::number(qorv_rec),
          QString::number(eqsl_rec),
          QString::number(qorv_sent)};
}
