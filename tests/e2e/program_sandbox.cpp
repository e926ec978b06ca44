#include "program_sandbox.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

#include "platform/app_error.h"
#include "platform/registry.h"

namespace {

constexpr int kStartMs = 15000;
constexpr int kStopMs = 5000;
constexpr int kPollMs = 100;

const QString kBinary = QStringLiteral(QORV_BINARY_DIR);

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("Cannot write %s", qPrintable(path));
  }
}

void CopyExecutable(const QString& from, const QString& to) {
  QFile::remove(to);
  if (!QFile::copy(from, to)) qFatal("Cannot copy %s to %s", qPrintable(from), qPrintable(to));
}

QString Field(const QString& name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(name).arg(value.size()).arg(value);
}

QString AdifDate(const QString& iso_date) { return QString(iso_date).remove(u'-'); }
QString AdifTime(const QString& time) { return time.left(5).remove(u':'); }

// ADIF band names of the logbook's DigiBand values the tests pick from.
const QList<QPair<double, QString>> kBands = {
    {3.5, QStringLiteral("80M")}, {7, QStringLiteral("40M")},  {10, QStringLiteral("30M")},
    {14, QStringLiteral("20M")},  {18, QStringLiteral("17M")}, {21, QStringLiteral("15M")},
    {24, QStringLiteral("12M")},  {28, QStringLiteral("10M")}};

QString BandName(double digi_band) {
  for (const auto& [value, name] : kBands) {
    if (value == digi_band) return name;
  }
  return QString();
}

// The processes whose executable is `path` (the logbook the program started).
QList<qint64> ProcessesOf(const QString& path) {
  QList<qint64> pids;
  const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
  for (const QString& entry : entries) {
    bool numeric = false;
    const qint64 pid = entry.toLongLong(&numeric);
    if (!numeric) continue;
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (exe == QFileInfo(path).absoluteFilePath()) pids.append(pid);
  }
  return pids;
}

}  // namespace

ProgramSandbox::ProgramSandbox(const XDisplay& display) : display_(display), root_(dir_.path()) {
  for (const char* folder : {"config", "run", "home", "bin", "services/qorv", "services/eqsl"}) {
    QDir().mkpath(root_ + u'/' + QLatin1String(folder));
  }
  QFile::setPermissions(root_ + QStringLiteral("/run"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  WriteDesktopFakes();
  CreateInstallation();
  StartServices();
  WriteProgramFolder();
}

ProgramSandbox::~ProgramSandbox() {
  for (auto* process : {&program_, &logbook_, &services_}) {
    if (*process) StopProcess(**process);
  }
  for (qint64 pid : ProcessesOf(InstallPath() + QStringLiteral("Vodrix_Log3.exe"))) {
    ::kill(static_cast<pid_t>(pid), SIGTERM);
  }
}

QString ProgramSandbox::RegistryFile() const {
  return root_ + QStringLiteral("/config/registry/HKEY_CURRENT_USER.reg");
}

QProcessEnvironment ProgramSandbox::Environment() const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), root_ + QStringLiteral("/home"));
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root_ + QStringLiteral("/config"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root_ + QStringLiteral("/run"));
  environment.insert(QStringLiteral("DISPLAY"), display_.Name());
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("PATH"),
                     root_ + QStringLiteral("/bin:") + environment.value(QStringLiteral("PATH")));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.remove(QStringLiteral("TQSLDIR"));
  return environment;
}

void ProgramSandbox::WriteDesktopFakes() {
  // The desktop's browser and text editor: record what they were asked to open.
  const QString fake = root_ + QStringLiteral("/bin/xdg-open");
  WriteFile(
      fake,
      QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1/opened.txt'\n").arg(root_).toUtf8());
  QFile::setPermissions(fake, QFile::permissions(fake) | QFileDevice::ExeOwner);
}

QStringList ProgramSandbox::OpenedByDesktop() const {
  QFile file(root_ + QStringLiteral("/opened.txt"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void ProgramSandbox::CreateInstallation() {
  const QString logbook = kBinary + QStringLiteral("/tools/logbook-double/Vodrix_Log3.exe");
  QProcess create;
  create.setProcessEnvironment(Environment());
  create.start(logbook, {QStringLiteral("--create"), InstallPath(), QStringLiteral("--qsos"),
                         QStringLiteral("600"), QStringLiteral("--seed"), QStringLiteral("5")});
  if (!create.waitForFinished(kStartMs) || create.exitCode() != 0) {
    qFatal("Cannot create the installation: %s", create.readAllStandardError().constData());
  }
  CopyExecutable(logbook, InstallPath() + QStringLiteral("Vodrix_Log3.exe"));

  const QString tqsl = root_ + QStringLiteral("/tqsl/tqsl");
  QDir().mkpath(root_ + QStringLiteral("/tqsl"));
  CopyExecutable(kBinary + QStringLiteral("/tools/tqsl-double/tqsl"), tqsl);
  Registry registry(RegistryFile());
  registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso"), true);
  registry.WriteString(QStringLiteral("TrustedQSLPatch"), tqsl);
  registry.CloseKey();
  WriteFile(root_ + QStringLiteral("/home/.tqsl/station_data"),
            "<StationDataFile><StationData name=\"Home\"><CALL>N0CALL</CALL>"
            "<GRIDSQUARE>FN42</GRIDSQUARE></StationData></StationDataFile>\n");
}

void ProgramSandbox::StartServices() {
  WriteFile(ServicesFolder() + QStringLiteral("accounts.txt"),
            "qorv\tN0CALL\tqorv-secret\neqsl\tN0CALL\teqsl-secret\n"
            "qorv\tN0CLB\tclub-qorv\neqsl\tN0CLB\tclub-eqsl\n"
            "clublog\top@example.org\tclublog-secret\tN0CALL\n");
  const QString ports = ServicesFolder() + QStringLiteral("ports");
  services_ = std::make_unique<QProcess>();
  services_->setProcessEnvironment(Environment());
  services_->start(
      kBinary + QStringLiteral("/tools/service-double/service-double"),
      {QStringLiteral("--state"), ServicesFolder(), QStringLiteral("--ca-out"),
       ServicesFolder() + QStringLiteral("ca.pem"), QStringLiteral("--ports-out"), ports});
  QElapsedTimer clock;
  clock.start();
  while (!QFileInfo(ports).exists() && clock.elapsed() < kStartMs) QThread::msleep(20);
  QFile file(ports);
  if (!file.open(QIODevice::ReadOnly)) qFatal("The service double did not start");
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.startsWith("https=")) {
      https_base_ = QStringLiteral("https://localhost:") + QString::fromLatin1(line.mid(6));
    } else if (line.startsWith("http=")) {
      http_base_ = QStringLiteral("http://127.0.0.1:") + QString::fromLatin1(line.mid(5));
    }
  }
}

void ProgramSandbox::WriteProgramFolder() {
  QDir().mkpath(ProgramFolder());
  CopyExecutable(kBinary + QStringLiteral("/src/qorvsync"),
                 ProgramFolder() + QStringLiteral("qorvsync"));
  QFile::copy(kBinary + QStringLiteral("/src/Submode.txt"),
              ProgramFolder() + QStringLiteral("Submode.txt"));
  WriteFile(ProgramFolder() + QStringLiteral("ignore.txt"), "Q0IGN\r\n");
  const QString ini =
      QStringLiteral(
          "[Services]\r\nQorv=%1\r\nQorvWeb=%1\r\neQSL=%2\r\nClubLog=%1\r\nCAFile=%3\r\n"
          "\r\n[TfrmMain]\r\nclublogemail_Text=op@example.org\r\n"
          "callsign_Text=N0CALL\r\npassword_Text=clublog-secret\r\n"
          "cbClublog_Checked=True\r\nedLocation_Text=Home\r\n"
          "RzPageControl1_ActivePage=TabSheet1\r\n")
          .arg(https_base_, http_base_, ServicesFolder() + QStringLiteral("ca.pem"));
  WriteFile(ProgramFolder() + QStringLiteral("qorv.ini"), ini.toUtf8());
}

void ProgramSandbox::SetSetting(const QString& section, const QString& key, const QString& value) {
  const QString path = ProgramFolder() + QStringLiteral("qorv.ini");
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) qFatal("Cannot read %s", qPrintable(path));
  QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
  file.close();
  const qsizetype start = lines.indexOf(u'[' + section + u']');
  if (start < 0) qFatal("No section %s", qPrintable(section));
  qsizetype at = start + 1;
  while (at < lines.size() && !lines[at].startsWith(u'[') && !lines[at].isEmpty() &&
         !lines[at].startsWith(key + u'=')) {
    ++at;
  }
  const QString line = key + u'=' + value;
  if (at < lines.size() && lines[at].startsWith(key + u'=')) {
    lines[at] = line;
  } else {
    lines.insert(at, line);
  }
  WriteFile(path, lines.join(QStringLiteral("\r\n")).toUtf8());
}

void ProgramSandbox::ServeQorv(const QString& login, const QList<LoggedQso>& qsos,
                               const QString& unmatched_call) {
  QList<LoggedQso> records = qsos;
  if (!unmatched_call.isEmpty()) {
    records.append({0, unmatched_call, QStringLiteral("2024-03-01"), QStringLiteral("10:15"),
                    QStringLiteral("20M"), QStringLiteral("FT8")});
  }
  QString text;
  for (const LoggedQso& qso : records) {
    for (const QString& field :
         {Field(QStringLiteral("CALL"), qso.call), Field(QStringLiteral("BAND"), qso.band),
          Field(QStringLiteral("MODE"), qso.mode),
          Field(QStringLiteral("QSO_DATE"), AdifDate(qso.date)),
          Field(QStringLiteral("TIME_ON"), AdifTime(qso.time) + QStringLiteral("00")),
          Field(QStringLiteral("QSL_RCVD"), QStringLiteral("Y")),
          Field(QStringLiteral("QSLRDATE"), QStringLiteral("20240615"))}) {
      text += field + u'\n';
    }
    text += QStringLiteral("<eor>\n");
  }
  WriteFile(ServicesFolder() + QStringLiteral("qorv/") + login + QStringLiteral(".adi"),
            text.toUtf8());
}

void ProgramSandbox::ServeEqsl(const QString& login, const QList<LoggedQso>& qsos,
                               const QStringList& unmatched_calls) {
  QList<LoggedQso> records = qsos;
  for (const QString& call : unmatched_calls) {
    records.append({0, call, QStringLiteral("2024-03-05"), QStringLiteral("12:00"),
                    QStringLiteral("40M"), QStringLiteral("CW")});
  }
  QString text;
  for (const LoggedQso& qso : records) {
    text += QStringList{Field(QStringLiteral("CALL"), qso.call),
                        Field(QStringLiteral("QSO_DATE"), AdifDate(qso.date)),
                        Field(QStringLiteral("TIME_ON"), AdifTime(qso.time)),
                        Field(QStringLiteral("BAND"), qso.band),
                        Field(QStringLiteral("MODE"), qso.mode),
                        Field(QStringLiteral("RST_RCVD"), QStringLiteral("599")),
                        Field(QStringLiteral("QSLRDATE"), QStringLiteral("20240616")),
                        QStringLiteral("<EOR>\n")}
                .join(u' ');
  }
  WriteFile(ServicesFolder() + QStringLiteral("eqsl/") + login + QStringLiteral(".adi"),
            text.toUtf8());
}

bool ProgramSandbox::LogbookRuns() const {
  return !LogbookRequest(QStringLiteral("X_STATE")).isEmpty();
}

void ProgramSandbox::StartLogbook() {
  logbook_ = std::make_unique<QProcess>();
  logbook_->setProcessEnvironment(Environment());
  logbook_->setWorkingDirectory(InstallPath());
  logbook_->start(InstallPath() + QStringLiteral("Vodrix_Log3.exe"), {});
  WaitUntil([this] { return LogbookRuns(); }, kStartMs);
}

void ProgramSandbox::StopLogbook() {
  if (logbook_) StopProcess(*logbook_);
}

bool ProgramSandbox::StartProgram() {
  program_ = std::make_unique<QProcess>();
  program_->setProcessEnvironment(Environment());
  program_->setWorkingDirectory(ProgramFolder());
  program_->start(ProgramFolder() + QStringLiteral("qorvsync"), {});
  if (!program_->waitForStarted(kStartMs)) return false;
  const qint64 pid = program_->processId();
  return WaitUntil(
      [this, pid] {
        for (const QString& window : display_.WindowsOf(pid)) {
          if (IsMainWindow(window)) {
            main_window_ = window;
            return true;
          }
        }
        return false;
      },
      kStartMs);
}

bool ProgramSandbox::Execute(const QString& sql) const {
  bool done = false;
  WithDatabase([&](QSqlDatabase& db) { done = QSqlQuery(db).exec(sql); });
  return done;
}

bool ProgramSandbox::CloseProgram() {
  if (!program_) return false;
  if (!display_.RequestClose(main_window_)) return false;
  return WaitUntil([this] { return program_->state() == QProcess::NotRunning; }, kStartMs);
}

QString ProgramSandbox::ReplyWindow() const {
  for (const QString& window : display_.WindowsOf(program_->processId())) {
    if (display_.WindowName(window) == QLatin1String("Reply from Clublog")) return window;
  }
  return QString();
}

// The main window is the one of the fixed size.
bool ProgramSandbox::IsMainWindow(const QString& window) const {
  return display_.XDoTool({QStringLiteral("getwindowgeometry"), window})
      .contains(QLatin1String("Geometry: 495x318"));
}

QStringList ProgramSandbox::DialogWindows() const {
  QStringList dialogs;
  if (!program_ || program_->state() != QProcess::Running) return dialogs;
  for (const QString& window : display_.WindowsOf(program_->processId())) {
    // The main window, also while it is still being looked for: keys meant
    // for a message box must not reach it.
    if (window != main_window_ && !IsMainWindow(window) &&
        display_.WindowName(window) != QLatin1String("Reply from Clublog")) {
      dialogs.append(window);
    }
  }
  return dialogs;
}

bool ProgramSandbox::WaitUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  QStringList answered;
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    for (const QString& box : DialogWindows()) {
      if (answered.contains(box)) continue;
      answered.append(box);
      answered_boxes_.append(display_.WindowName(box));
      display_.Key(box, QStringLiteral("Return"));
    }
    QThread::msleep(kPollMs);
    // QProcess learns of a process's end through the event loop.
    QCoreApplication::processEvents();
  }
  return true;
}

QString ProgramSandbox::LogbookRequest(const QString& request) const {
  QLocalSocket socket;
  socket.connectToServer(root_ + QStringLiteral("/run/Vodrix_Log3.windows"));
  if (!socket.waitForConnected(2000)) return QString();
  socket.write(request.toUtf8() + '\n');
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(2000)) return QString();
  }
  return QString::fromUtf8(socket.readLine()).trimmed();
}

int ProgramSandbox::LogbookReloads() const {
  const QStringList fields = LogbookRequest(QStringLiteral("X_STATE")).split(u'\t');
  return fields.size() > 1 ? fields[1].toInt() : -1;
}

void ProgramSandbox::WithDatabase(const std::function<void(QSqlDatabase&)>& work) const {
  const QString name = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(InstallPath() + QStringLiteral("db/logs.mdb"));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) qFatal("Cannot open the log database");
    work(db);
  }
  QSqlDatabase::removeDatabase(name);
}

QList<LoggedQso> ProgramSandbox::PickQsos(const QString& table, const QString& condition,
                                          int count) const {
  QList<LoggedQso> qsos;
  WithDatabase([&](QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(
            QStringLiteral(
                "SELECT ID, CallSign, QSODate, QSOTime, DigiBand, QSOMode FROM \"%1\" "
                "WHERE SAT_NAME = '' AND QSOMode IN ('FT8', 'CW', 'SSB') AND "
                "DigiBand IN (3.5, 7, 10, 14, 18, 21, 24, 28) AND (%2) ORDER BY ID LIMIT %3")
                .arg(table, condition)
                .arg(count))) {
      qFatal("%s", qPrintable(query.lastError().text()));
    }
    while (query.next()) {
      qsos.append({query.value(0).toLongLong(), query.value(1).toString(),
                   query.value(2).toString(), query.value(3).toString(),
                   BandName(query.value(4).toDouble()), query.value(5).toString()});
    }
  });
  return qsos;
}

QVariant ProgramSandbox::Scalar(const QString& sql) const {
  QVariant value;
  WithDatabase([&](QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(sql)) qFatal("%s", qPrintable(query.lastError().text()));
    if (query.next()) value = query.value(0);
  });
  return value;
}

QString ProgramSandbox::RegistryString(const QString& key, const QString& name) const {
  Registry registry(RegistryFile());
  if (!registry.OpenKey(key, false)) return QString();
  try {
    return registry.ReadString(name);
  } catch (const AppError&) {
    return QString();
  }
}

void ProgramSandbox::StopProcess(QProcess& process) const {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(kStopMs)) {
    process.kill();
    process.waitForFinished(kStopMs);
  }
}
