#include "window/logbook_window.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "platform/app_error.h"
#include "window/entry_window.h"
#include "window/window_tree_server.h"

namespace {

int signal_pipe[2] = {-1, -1};

void OnQuitSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the socket file is removed.
void QuitOnSignals(QObject* parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
  struct sigaction action = {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

QString OptionValue(const QStringList& args, const QString& name) {
  const qsizetype at = args.indexOf(name);
  return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
}

}  // namespace

int RunLogbookWindow(const QStringList& args) {
  WindowTreeServer::Options options;
  options.install_dir = OptionValue(args, QStringLiteral("--dir"));
  if (options.install_dir.isEmpty()) options.install_dir = QCoreApplication::applicationDirPath();
  options.socket_path = OptionValue(args, QStringLiteral("--socket"));
  options.message_log_path = OptionValue(args, QStringLiteral("--message-log"));
  try {
    WindowTreeServer server(options);
    server.Listen();
    EntryWindow window(server);
    QuitOnSignals(&window);
    window.show();
    return QApplication::exec();
  } catch (const AppError& error) {
    std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
    return 1;
  }
}
