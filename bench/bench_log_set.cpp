#include "bench_log_set.h"

#include <QFile>

#include "create/qso_generator.h"

BenchLogSet::BenchLogSet(const QString& folder, int qsos_per_log)
    : folder_(folder + u'/'), master_(folder_ + QStringLiteral("master.mdb")) {
  tables_ = {QStringLiteral("Log_Home"), QStringLiteral("Log_Portable"),
             QStringLiteral("Log_Contest")};
  // Rollback journal: a copy of the one file is the whole database.
  LogbookDatabaseWriter writer(master_, LogbookDatabaseWriter::Journal::kRollback);
  writer.CreateAconfigTable();
  quint32 seed = 1;
  for (const QString& table : tables_) {
    writer.AddLog({table.mid(4), log_set_, table, {}, {}, {}, {}});
    writer.CreateLogTable(table);
    qsos_ << GenerateQsos(qsos_per_log, seed++);
    writer.InsertQsos(table, qsos_.last());
  }
  writer.AddLog(
      {QStringLiteral("Club"), QStringLiteral("Club"), QStringLiteral("Log_Club"), {}, {}, {}, {}});
}

void BenchLogSet::ChangeMaster(const QString& sql) const {
  LogbookDatabaseWriter(master_, LogbookDatabaseWriter::Journal::kRollback).Execute(sql);
}

QString BenchLogSet::FreshCopy(const QString& name) const {
  const QString path = folder_ + name + QStringLiteral(".mdb");
  for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + QLatin1String(suffix));
  QFile::copy(master_, path);
  // In WAL mode, as the logbook keeps its database.
  LogbookDatabaseWriter(path, LogbookDatabaseWriter::Journal::kWal);
  return path;
}
