#include "app/logbook_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QTimer>

#include "app/program_actions.h"
#include "app/start_up.h"
#include "platform/processes.h"
#include "platform/window_link_protocol.h"

namespace {

const QString kDouble = QStringLiteral(QORV_BINARY_DIR "/tools/logbook-double/Vodrix_Log3.exe");

// The parent process id from /proc/PID/stat (the field after the state).
qint64 ParentOf(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return 0;
  const QByteArray text = stat.readAll();
  const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
  return fields.size() > 1 ? fields[1].toLongLong() : 0;
}

}  // namespace

void LogbookTest::SetUp() {
  ASSERT_TRUE(root_.isValid());
  ASSERT_TRUE(QDir().mkpath(ProgramFolder()));
  ASSERT_TRUE(QDir().mkpath(root_.filePath(QStringLiteral("run"))));
  QFile::setPermissions(root_.filePath(QStringLiteral("run")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const std::pair<const char*, QString> env[] = {
      {"XDG_CONFIG_HOME", root_.filePath(QStringLiteral("config"))},
      {"XDG_RUNTIME_DIR", root_.filePath(QStringLiteral("run"))}};
  for (const auto& [name, value] : env) {
    saved_env_.emplace_back(name, qgetenv(name));
    qputenv(name, value.toUtf8());
  }
}

void LogbookTest::TearDown() {
  window_.reset();
  if (logbook_) {
    logbook_->terminate();
    logbook_->waitForFinished(5000);
    logbook_.reset();
  }
  for (const auto& [name, value] : saved_env_) qputenv(name.constData(), value);
}

void LogbookTest::CreateInstallation() {
  QProcess create;
  create.start(kDouble, {QStringLiteral("--create"), InstallFolder(), QStringLiteral("--qsos"),
                         QStringLiteral("40")});
  ASSERT_TRUE(create.waitForFinished(60000)) << create.errorString().toStdString();
  ASSERT_EQ(create.exitCode(), 0) << create.readAllStandardError().toStdString();
}

void LogbookTest::StartLogbook() {
  logbook_ = std::make_unique<QProcess>();
  logbook_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  logbook_->start(kDouble, {QStringLiteral("--dir"), InstallFolder()});
  ASSERT_TRUE(logbook_->waitForStarted(10000)) << logbook_->errorString().toStdString();
  ASSERT_TRUE(WaitFor(
      [this] {
        QLocalSocket probe;
        probe.connectToServer(SocketPath());
        return probe.waitForConnected(100);
      },
      20000))
      << "the logbook double serves no socket";
}

QStringList LogbookTest::LogbookRequest(const QStringList& fields) const {
  QLocalSocket socket;
  socket.connectToServer(SocketPath());
  if (!socket.waitForConnected(2000)) return {};
  socket.write(window_link::EncodeLine(fields));
  socket.flush();
  QByteArray line;
  while (!line.endsWith('\n') && socket.waitForReadyRead(5000)) line += socket.readAll();
  return window_link::DecodeLine(line);
}

QStringList LogbookTest::LogbookPokes() const {
  QStringList pokes = LogbookRequest({QStringLiteral("X_MESSAGES")});
  pokes.removeIf([](const QString& m) { return m.isEmpty() || m.startsWith("GET_TEXT"); });
  return pokes;
}

Registry LogbookTest::RegistryKey(const QString& key) const {
  Registry registry;
  EXPECT_TRUE(registry.OpenKey(key, true)) << key.toStdString();
  return registry;
}

qint64 LogbookTest::FindOwnChild(const QString& exe_name) {
  const qint64 self = QCoreApplication::applicationPid();
  for (const ProcessEntry& process : ListProcesses()) {
    if (process.exe_name == exe_name && ParentOf(process.pid) == self) return process.pid;
  }
  return 0;
}

TfrmMain& LogbookTest::Create(MainActions actions, std::function<qint64(const QString&)> finder) {
  actions.start_up = [this, finder](TfrmMain& form) {
    form.Config().ProgramFolder = ProgramFolder();
    form.Config().StateFolder = ProgramFolder();
    form.Storage().SetIniFileName(ProgramFolder() + "qorv.ini");
    if (finder) form.Session().SetProcessFinder(finder);
    StartUp(form);
  };
  window_ = std::make_unique<TfrmMain>(std::move(actions), dialogs_);
  return *window_;
}

bool LogbookTest::WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() >= ms) return false;
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}
