#include "create/installation.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include "create/logbook_schema.h"
#include "create/qso_generator.h"
#include "platform/app_error.h"
#include "platform/ini_file.h"

namespace {

struct LogPlan {
  AconfigRow row;
  int percent;  // share of the generated QSOs
};

QList<LogPlan> Logs() {
  const QString call = QStringLiteral("N0CALL");
  const QString qorv_password = QStringLiteral("qorv-secret");
  const QString eqsl_password = QStringLiteral("eqsl-secret");
  return {
      {{QStringLiteral("Home"), QStringLiteral("Main"), QStringLiteral("Log_Home"), call,
        qorv_password, call, eqsl_password},
       70},
      {{QStringLiteral("Portable"), QStringLiteral("Main"), QStringLiteral("Log_Portable"), call,
        qorv_password, call, eqsl_password},
       10},
      {{QStringLiteral("Contest"), QStringLiteral("Main"), QStringLiteral("Log_Contest"), call,
        qorv_password, call, eqsl_password},
       15},
      {{QStringLiteral("Club"), QStringLiteral("Club"), QStringLiteral("Log_Club"),
        QStringLiteral("N0CLB"), QStringLiteral("club-qorv"), QStringLiteral("N0CLB"),
        QStringLiteral("club-eqsl")},
       5},
  };
}

// The logbook's stored date: days since 30 December 1899, "." as separator.
QString StoredDate(QDate date, double fraction) {
  return QString::number(QDate(1899, 12, 30).daysTo(date) + fraction, 'g', 15);
}

void CreateDatabase(const QString& path, int qsos, quint32 seed) {
  for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
    QFile::remove(path + suffix);
  }
  LogbookDatabaseWriter writer(path);
  writer.CreateAconfigTable();
  const QList<LogPlan> logs = Logs();
  int left = qsos;
  for (qsizetype i = 0; i < logs.size(); ++i) {
    const LogPlan& log = logs[i];
    writer.AddLog(log.row);
    writer.CreateLogTable(log.row.LogFileName, false);
    const int count = i + 1 == logs.size() ? left : qsos * log.percent / 100;
    left -= count;
    writer.InsertQsos(log.row.LogFileName, GenerateQsos(count, seed + static_cast<quint32>(i)));
    writer.CreateLogIndexes(log.row.LogFileName);
  }
}

void WriteRegistry(const QString& install_path, const QString& registry_file) {
  Registry registry(registry_file);
  const auto open = [&registry](const QString& key) {
    if (!registry.OpenKey(key, true)) {
      throw AppError(QStringLiteral("Cannot create the registry key '%1'").arg(key));
    }
  };
  open(QStringLiteral("Software\\Vodrix_Log3"));
  registry.WriteString(QStringLiteral("InstallPath"), install_path);
  open(QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso"));
  registry.WriteString(QStringLiteral("TrustedQSLPatch"), QStringLiteral("/usr/bin/tqsl"));
  open(QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv"));
  registry.WriteString(QStringLiteral("QorvDate_Date"), StoredDate(QDate(2024, 6, 1), 0));
  registry.WriteString(QStringLiteral("eQSLDate_Date"), StoredDate(QDate(2024, 6, 1), 0.5));
  registry.WriteString(QStringLiteral("edtTQSLStationLocationName_Text"), QStringLiteral("Home"));
  open(QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"));
  registry.WriteInteger(QStringLiteral("ProxyEnable"), 0);
  registry.CloseKey();
}

}  // namespace

void CreateInstallation(const QString& dir, int qsos, quint32 seed, const QString& registry_file) {
  const QString root = QDir(dir).absolutePath();
  for (const QString& folder :
       {QStringLiteral("db"), QStringLiteral("Download"), QStringLiteral("Qorv Logs")}) {
    if (!QDir().mkpath(root + QLatin1Char('/') + folder)) {
      throw AppError(QStringLiteral("Cannot create the folder '%1/%2'").arg(root, folder));
    }
  }
  CreateDatabase(root + QStringLiteral("/db/logs.mdb"), qsos, seed);
  IniFile(root + QStringLiteral("/Vodrix_Log3.ini"))
      .WriteString(QStringLiteral("EditNewQso"), QStringLiteral("LogName"), QStringLiteral("Home"));
  WriteRegistry(root + QLatin1Char('/'), registry_file);
}

int RunCreateCommand(const QStringList& args) {
  QTextStream err(stderr);
  const auto value_after = [&args](const QString& option) -> QString {
    const qsizetype at = args.indexOf(option);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
  };
  const QString dir = value_after(QStringLiteral("--create"));
  bool qsos_ok = true;
  bool seed_ok = true;
  const QString qsos_text = value_after(QStringLiteral("--qsos"));
  const QString seed_text = value_after(QStringLiteral("--seed"));
  const int qsos = qsos_text.isEmpty() ? 2000 : qsos_text.toInt(&qsos_ok);
  const quint32 seed = seed_text.isEmpty() ? 1 : seed_text.toUInt(&seed_ok);
  if (dir.isEmpty() || !qsos_ok || qsos < 0 || !seed_ok) {
    err << "usage: Vodrix_Log3.exe --create DIR [--qsos N] [--seed S]\n";
    return 2;
  }
  try {
    CreateInstallation(dir, qsos, seed);
  } catch (const AppError& error) {
    err << error.Message() << '\n';
    return 1;
  }
  QTextStream(stdout) << "Created " << QDir(dir).absolutePath() << " with " << qsos << " QSOs\n";
  return 0;
}
