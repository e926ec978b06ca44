#ifndef QORVSYNC_BENCH_BENCH_LOG_SET_H_
#define QORVSYNC_BENCH_BENCH_LOG_SET_H_

#include <QList>
#include <QString>
#include <QStringList>

#include "create/logbook_schema.h"

// A log set "Main" of three generated logs, written once into a master
// database; every measured run works on its own fresh copy of it.
class BenchLogSet {
 public:
  BenchLogSet(const QString& folder, int qsos_per_log);

  const QString& LogSet() const { return log_set_; }
  const QStringList& Tables() const { return tables_; }
  // The generated QSOs of each table, in table order (row i has ID i + 1).
  const QList<QList<Qso>>& Qsos() const { return qsos_; }

  // Frees the generated QSOs once the reports are made, so that they do not
  // count in a run's peak memory.
  void DropQsos() { qsos_ = {}; }

  // Changes the master, and so every copy made afterwards.
  void ChangeMaster(const QString& sql) const;

  // A copy of the master database for one run; returns its path.
  QString FreshCopy(const QString& name) const;

 private:
  QString folder_;
  QString master_;
  QString log_set_ = QStringLiteral("Main");
  QStringList tables_;
  QList<QList<Qso>> qsos_;
};

#endif  // QORVSYNC_BENCH_BENCH_LOG_SET_H_
