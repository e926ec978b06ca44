#include "bench_upload.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

#include "create/logbook_schema.h"
#include "create/qso_generator.h"
#include "logdb/log_database.h"
#include "platform/text_codec.h"
#include "upload/export_file.h"
#include "upload/submode_table.h"

namespace {

// The window of a benchmark: nothing to show, no events to run.
class SilentUi : public OperationUi {
 public:
  void SetCaption(const QString&) override {}
  QString LogName() const override { return QString(); }
  void SetProgress(int) override {}
  void SetResult(ResultLabel, const QString&) override {}
  void ProcessEvents() override {}
  void ShowMessage(MessageKind, const QString&, const QString&) override {}
  void ShowTextFile(const QString&) override {}
  bool ChooseAdifFile(QString*) override { return false; }
};

void ResetSent(QSqlDatabase& db) {
  QSqlQuery(db).exec(QStringLiteral("UPDATE Log1 SET QorvSent = 0"));
}

// What the program does: the selection, the export file, the marking.
qint64 ProgramRun(const QString& db_path, const QString& folder, const SubmodeTable& submodes) {
  QElapsedTimer timer;
  timer.start();
  LogDatabase database;
  database.OpenLogDatabase(db_path);
  SilentUi ui;
  const std::optional<ExportedFile> exported =
      WriteExportFile(ui, folder, database.SelectUnsent(QStringLiteral("Log1")), submodes);
  if (exported) database.MarkSent(QStringLiteral("Log1"), exported->rowids);
  return timer.nsecsElapsed();
}

// The same work at its plainest: one forward-only select, a line per row
// written through one buffer, one prepared update in one transaction.
qint64 BareRun(const QString& db_path, const QString& file_path) {
  QElapsedTimer timer;
  timer.start();
  qint64 elapsed = 0;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
    db.setDatabaseName(db_path);
    db.open();
    QSqlQuery select(db);
    select.setForwardOnly(true);
    select.exec(
        QStringLiteral("SELECT rowid, CallSign, QSODate, QSOTime, DigiBand, QSOBand, "
                       "QSOMode, SAT_NAME FROM Log1 WHERE QorvSent = 0 ORDER BY QSODate"));
    QList<qint64> rowids;
    QByteArray out;
    while (select.next()) {
      rowids.append(select.value(0).toLongLong());
      const QString call = select.value(1).toString();
      const QString date = select.value(2).toString().remove(u'-');
      const QString time = select.value(3).toString().remove(u':').left(4);
      const QString band = select.value(4).toString();
      const QString freq = select.value(5).toString();
      const QString mode = select.value(6).toString();
      const QString line = QStringLiteral(
                               "<CALL:%1>%2<QSO_DATE:8>%3<TIME_ON:4>%4<BAND:%5>%6"
                               "<FREQ:%7>%8<MODE:%9>")
                               .arg(call.size())
                               .arg(call, date, time)
                               .arg(band.size())
                               .arg(band)
                               .arg(freq.size())
                               .arg(freq)
                               .arg(mode.size()) +
                           mode + QStringLiteral("<EOR>\r\n");
      out += line.toLatin1();
    }
    QFile file(file_path);
    file.open(QIODevice::WriteOnly);
    file.write(out);
    file.close();

    db.transaction();
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE Log1 SET QorvSent = 1 WHERE rowid = ?"));
    for (const qint64 rowid : rowids) {
      update.bindValue(0, rowid);
      update.exec();
    }
    db.commit();
    elapsed = timer.nsecsElapsed();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bare"));
  return elapsed;
}

}  // namespace

double BenchUpload(int qsos) {
  QTemporaryDir dir;
  const QString db_path = dir.filePath(QStringLiteral("logs.mdb"));
  {
    LogbookDatabaseWriter writer(db_path);
    writer.CreateAconfigTable();
    writer.CreateLogTable(QStringLiteral("Log1"));
    writer.InsertQsos(QStringLiteral("Log1"), GenerateQsos(qsos, 7));
  }
  const SubmodeTable submodes =
      SubmodeTable::Load(QStringLiteral(QORV_SOURCE_DIR "/src/upload/Submode.txt"));
  QSqlDatabase reset =
      QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reset"));
  reset.setDatabaseName(db_path);
  reset.open();

  // Best of three each, alternating, so both see the same cache state.
  qint64 program = -1;
  qint64 bare = -1;
  for (int round = 0; round < 3; ++round) {
    ResetSent(reset);
    const qint64 p = ProgramRun(db_path, dir.filePath(QStringLiteral("export")), submodes);
    ResetSent(reset);
    const qint64 b = BareRun(db_path, dir.filePath(QStringLiteral("bare.adi")));
    program = program < 0 ? p : qMin(program, p);
    bare = bare < 0 ? b : qMin(bare, b);
  }
  reset.close();
  reset = QSqlDatabase();
  QSqlDatabase::removeDatabase(QStringLiteral("reset"));

  const double ratio = static_cast<double>(program) / static_cast<double>(bare);
  std::printf(
      "upload export+mark, %d QSOs: program %.0f QSO/s (%.3f s), bare SQLite %.0f QSO/s "
      "(%.3f s), ratio %.2f\n",
      qsos, qsos / (program / 1e9), program / 1e9, qsos / (bare / 1e9), bare / 1e9, ratio);
  return ratio;
}
