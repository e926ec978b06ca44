#include "cli/cli_sandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "app/program_actions.h"
#include "app/tfrm_main.h"
#include "platform/ini_file.h"
#include "platform/registry.h"
#include "session/start_up.h"
#include "support/scripted_dialogs.h"
#include "support/service_double_process.h"

namespace {

const QString kDateKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");

QString RegistryFileOf(const QString& config_home) {
  return config_home + QStringLiteral("/registry/HKEY_CURRENT_USER.reg");
}

}  // namespace

LogbookSide::LogbookSide(const QString& root, const ServiceDoubleProcess& service,
                         const QList<Qso>& main_qsos, const QList<Qso>& portable_qsos)
    : root_(root) {
  for (const QString& folder : {Install() + QStringLiteral("db"), Program(),
                                ConfigHome() + QStringLiteral("/registry"), RuntimeDir()}) {
    QDir().mkpath(folder);
  }
  {
    LogbookDatabaseWriter writer(Database());
    writer.CreateAconfigTable();
    writer.AddLog({"Main", "HOME", "log_main", "W1AW", "secret", "W1AW", "secret"});
    writer.AddLog({"Portable", "HOME", "log_port", "W1AW", "secret", "W1AW", "secret"});
    writer.CreateLogTable("log_main");
    writer.CreateLogTable("log_port");
    writer.InsertQsos("log_main", main_qsos);
    writer.InsertQsos("log_port", portable_qsos);
  }
  IniFile(Install() + QStringLiteral("Vodrix_Log3.ini"))
      .WriteString(QStringLiteral("EditNewQso"), QStringLiteral("LogName"), QStringLiteral("Main"));

  Registry registry(RegistryFileOf(ConfigHome()));
  registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3"), true);
  registry.WriteString(QStringLiteral("InstallPath"), Install());
  registry.OpenKey(kDateKey, true);
  registry.WriteString(QStringLiteral("QorvDate_Date"), QStringLiteral("44197.3125"));
  registry.WriteString(QStringLiteral("eQSLDate_Date"), QStringLiteral("44197.3125"));
  registry.WriteString(QStringLiteral("edtTQSLStationLocationName_Text"), QStringLiteral("Home"));
  registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso"), true);
  registry.WriteString(QStringLiteral("TrustedQSLPatch"),
                       ToolPath(QStringLiteral("tqsl-double/tqsl")));
  QDir().mkpath(TqslDir());
  QDir().mkpath(EmptyBin());
  QFile station_data(TqslDir() + QStringLiteral("/station_data"));
  station_data.open(QIODevice::WriteOnly);
  station_data.write(
      "<StationDataFile><StationData name=\"Home\"><CALL>W1AW</CALL></StationData>"
      "</StationDataFile>");

  const QString binary = QStringLiteral(QORV_BINARY_DIR "/src/");
  QFile::copy(binary + QStringLiteral("qorvsync"), Program() + QStringLiteral("qorvsync"));
  QFile::copy(binary + QStringLiteral("Submode.txt"), Program() + QStringLiteral("Submode.txt"));
  IniFile ini(Program() + QStringLiteral("qorv.ini"));
  const QString address = QStringLiteral("http://127.0.0.1:%1").arg(service.http_port());
  ini.WriteString(QStringLiteral("Services"), QStringLiteral("Qorv"), address);
  ini.WriteString(QStringLiteral("Services"), QStringLiteral("eQSL"), address);
  ini.WriteString(QStringLiteral("Services"), QStringLiteral("ClubLog"), address);
  ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("cbUpdateloc_Checked"),
                  QStringLiteral("True"));
  ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("cbCNTY_Checked"),
                  QStringLiteral("True"));
  ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("cmbCNTY_Text"),
                  QStringLiteral("State2"));
}

LogbookSide::~LogbookSide() {
  if (path_changed_) qputenv("PATH", saved_path_);
}

QProcessEnvironment LogbookSide::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) {
    env.remove(QString::fromLatin1(name));
  }
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), ConfigHome());
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
  env.insert(QStringLiteral("HOME"), root_);
  env.insert(QStringLiteral("TQSLDIR"), TqslDir());
  // The upload opens the bare name "tqsl.exe" before signing: no TQSL of the
  // machine may answer it.
  env.insert(QStringLiteral("PATH"), EmptyBin());
  return env;
}

CommandRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeout_ms) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(program, arguments);
  CommandRun run;
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

CommandRun LogbookSide::Run(const QStringList& arguments, int timeout_ms) const {
  return RunProgram(Program() + QStringLiteral("qorvsync"), arguments, Environment(), timeout_ms);
}

void LogbookSide::UseInThisProcess() const {
  qputenv("XDG_CONFIG_HOME", ConfigHome().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", RuntimeDir().toLocal8Bit());
  qputenv("TQSLDIR", TqslDir().toLocal8Bit());
  if (!path_changed_) saved_path_ = qgetenv("PATH");
  path_changed_ = true;
  qputenv("PATH", EmptyBin().toLocal8Bit());
}

QStringList LogbookSide::Rows() const {
  QStringList rows;
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(Database());
    db.open();
    for (const QString& table : {QStringLiteral("log_main"), QStringLiteral("log_port")}) {
      QSqlQuery query(db);
      query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
      while (query.next()) {
        QStringList values{table};
        for (int i = 0; i < query.record().count(); ++i) values << query.value(i).toString();
        rows << values.join(u'|');
      }
    }
  }
  QSqlDatabase::removeDatabase(connection);
  return rows;
}

QString LogbookSide::StoredDate(const QString& name) const {
  Registry registry(RegistryFileOf(ConfigHome()));
  registry.OpenKey(kDateKey, false);
  return registry.ReadString(name);
}

void LogbookSide::SetStoredDate(const QString& name, const QString& value) const {
  Registry registry(RegistryFileOf(ConfigHome()));
  registry.OpenKey(kDateKey, true);
  registry.WriteString(name, value);
}

std::unique_ptr<TfrmMain> OpenWindow(const LogbookSide& side, ScriptedDialogs& dialogs) {
  side.UseInThisProcess();
  MainActions actions = ProgramActions();
  actions.log_poll = nullptr;
  actions.closing = nullptr;
  actions.locate_log_selector = nullptr;
  actions.nudge_logbook = nullptr;
  auto window = std::make_unique<TfrmMain>(std::move(actions), dialogs);
  // The program folder is the side's, as if the window ran from there.
  window->Config().ProgramFolder = side.Program();
  window->Config().StateFolder = side.Program();
  ReadServices(window->Config());
  window->Storage().SetIniFileName(side.Program() + QStringLiteral("qorv.ini"));
  window->show();
  return window;
}
