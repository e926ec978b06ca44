#include "bench_eqsl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

#include "adif/band_tables.h"
#include "create/logbook_schema.h"
#include "create/qso_generator.h"
#include "eqsl/inbox_run.h"
#include "logdb/log_database.h"

namespace {

constexpr int kQsosPerTable = 100000;
constexpr int kRecords = 100000;
const char* const kTables[] = {"log_a", "log_b", "log_c"};

// The window the run reports to: events run, nothing is drawn.
class QuietUi : public OperationUi {
 public:
  void SetCaption(const QString&) override {}
  QString LogName() const override { return QString(); }
  void SetProgress(int) override {}
  void SetResult(ResultLabel, const QString&) override {}
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  void ShowMessage(MessageKind, const QString&, const QString&) override {}
  void ShowTextFile(const QString&) override {}
  bool ChooseAdifFile(QString*) override { return false; }
};

QString Field(const char* name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
}

// One eQSL line per record: two of three confirm a QSO of the first log
// (a fifth of those already marked there), the rest name a call sign that is
// nowhere in the log.
QStringList InboxLines(const QList<Qso>& qsos) {
  QStringList lines = {QStringLiteral("ADIF 3 Export from eQSL.cc"), QStringLiteral("<EOH>")};
  for (int i = 0; i < kRecords; ++i) {
    const Qso& qso = qsos[i % qsos.size()];
    const QString call = i % 3 == 2 ? QStringLiteral("ZZ%1ZZ").arg(i) : qso.CallSign;
    QString mode = qso.QSOMode;
    if (mode.startsWith(QLatin1String("BPSK"))) mode = mode.mid(1);
    lines << Field("CALL", call) + Field("QSO_DATE", QString(qso.QSODate).remove(u'-')) +
                 Field("TIME_ON", QString(qso.QSOTime).remove(u':') + QStringLiteral("00")) +
                 Field("BAND", DigiBandToBand(QString::number(qso.DigiBand))) +
                 Field("MODE", mode) + Field("RST_RCVD", QStringLiteral("-10")) +
                 Field("QSL_SENT", QStringLiteral("Y")) + QStringLiteral("<EOR>");
  }
  return lines;
}

// The value of a tag, upper-cased as the eQSL reader takes it.
QString Value(const QString& line, const char* tag) {
  const QString open = QStringLiteral("<%1:").arg(QLatin1String(tag));
  const qsizetype at = line.indexOf(open);
  if (at < 0) return QString();
  const qsizetype close = line.indexOf(u'>', at);
  const int length = line.mid(at + open.size(), close - at - open.size()).toInt();
  return line.mid(close + 1, length).toUpper();
}

QString Escaped(QString text) {
  return text.replace(u'\\', QLatin1String("\\\\"))
      .replace(u'%', QLatin1String("\\%"))
      .replace(u'_', QLatin1String("\\_"));
}

QString Minutes(int minutes) {
  return QStringLiteral("%1:%2")
      .arg(minutes / 60, 2, 10, QLatin1Char('0'))
      .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// The same work with nothing around it: each line scanned once, statements
// prepared once, everything in one transaction.
void BareLoop(const QString& path, const QStringList& lines) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
    db.setDatabaseName(path);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -65536"));
    QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
    QList<QSqlQuery> finds;
    QList<QSqlQuery> updates;
    for (const char* table : kTables) {
      QSqlQuery& find = finds.emplace_back(db);
      find.prepare(QStringLiteral("SELECT rowid, ID, QSLReceQSLcc FROM %1 WHERE QSODate = ? AND "
                                  "DigiBand = ? AND CallSign LIKE (? || '') ESCAPE '\\' AND "
                                  "QSOTime BETWEEN ? AND ? AND QSOMode LIKE (? || '') ESCAPE "
                                  "'\\' ORDER BY rowid LIMIT 1")
                       .arg(QLatin1String(table)));
      QSqlQuery& update = updates.emplace_back(db);
      update.prepare(QStringLiteral("UPDATE %1 SET QSLReceQSLcc = 1 WHERE rowid = ?")
                         .arg(QLatin1String(table)));
    }
    for (const QString& line : lines) {
      const QString call = Value(line, "CALL");
      if (call.isEmpty()) continue;
      const QString date = Value(line, "QSO_DATE");
      const QString time = Value(line, "TIME_ON");
      const int minutes = time.left(2).toInt() * 60 + time.mid(2, 2).toInt();
      const QString iso = date.left(4) + u'-' + date.mid(4, 2) + u'-' + date.mid(6, 2);
      const double band = BandToDigiBand(Value(line, "BAND")).toDouble();
      const QString mode = u'%' + Escaped(Value(line, "MODE")) + u'%';
      const QString from = minutes < 20 ? QStringLiteral("00:00") : Minutes(minutes - 20);
      const QString to = minutes + 20 >= 24 * 60 ? QStringLiteral("23:59") : Minutes(minutes + 20);
      for (int t = 0; t < finds.size(); ++t) {
        QSqlQuery& find = finds[t];
        find.bindValue(0, iso);
        find.bindValue(1, band);
        find.bindValue(2, Escaped(call) + u'%');
        find.bindValue(3, from);
        find.bindValue(4, to);
        find.bindValue(5, mode);
        find.exec();
        if (find.next() && !find.value(2).toBool()) {
          updates[t].bindValue(0, find.value(0));
          updates[t].exec();
        }
        find.finish();
      }
    }
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    finds.clear();
    updates.clear();
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bare"));
}

int MarkedCount(const QString& path) {
  int marked = 0;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
    db.setDatabaseName(path);
    db.open();
    for (const char* table : kTables) {
      QSqlQuery query(db);
      query.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE QSLReceQSLcc = 1")
                     .arg(QLatin1String(table)));
      query.next();
      marked += query.value(0).toInt();
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("count"));
  return marked;
}

}  // namespace

int RunEqslBenchmark() {
  QTemporaryDir dir;
  const QString original = dir.filePath(QStringLiteral("original.mdb"));
  QList<Qso> first_log;
  {
    LogbookDatabaseWriter writer(original, LogbookDatabaseWriter::Journal::kRollback);
    writer.CreateAconfigTable();
    quint32 seed = 1;
    for (const char* table : kTables) {
      writer.AddLog({QLatin1String(table),
                     QStringLiteral("HOME"),
                     QLatin1String(table),
                     {},
                     {},
                     QStringLiteral("W1AW"),
                     QStringLiteral("secret")});
      writer.CreateLogTable(QLatin1String(table));
      QList<Qso> qsos = GenerateQsos(kQsosPerTable, seed++);
      for (int i = 0; i < qsos.size(); ++i) qsos[i].QSLReceQSLcc = i % 15 == 0;
      writer.InsertQsos(QLatin1String(table), qsos);
      if (first_log.isEmpty()) first_log = qsos;
    }
  }
  const QStringList lines = InboxLines(first_log);
  const int marked_before = MarkedCount(original);

  // Each contender works on its own copy of the same log, the program first.
  const QString program_copy = dir.filePath(QStringLiteral("program.mdb"));
  const QString bare_copy = dir.filePath(QStringLiteral("bare.mdb"));
  QFile::copy(original, program_copy);
  QFile::copy(original, bare_copy);

  QuietUi ui;
  QElapsedTimer timer;
  qint64 program_ms = 0;
  int program_errors = 0;
  {
    LogDatabase database;
    database.OpenLogDatabase(program_copy);
    timer.start();
    EqslInboxRun run(database, QStringLiteral("HOME"), {}, ui);
    run.RunInboxLines(lines);
    program_ms = timer.elapsed();
    program_errors = run.ErrorList().size() / 2;
  }
  const int program_marked = MarkedCount(program_copy) - marked_before;

  timer.start();
  BareLoop(bare_copy, lines);
  const qint64 bare_ms = timer.elapsed();
  const int bare_marked = MarkedCount(bare_copy) - marked_before;

  const double ratio = static_cast<double>(program_ms) / qMax<qint64>(bare_ms, 1);
  std::printf("eQSL run: %d records, 3 x %d QSOs\n", kRecords, kQsosPerTable);
  std::printf("  program   %6lld ms  %8.0f records/s  %d marked, %d unmatched\n",
              static_cast<long long>(program_ms), kRecords * 1000.0 / qMax<qint64>(program_ms, 1),
              program_marked, program_errors);
  std::printf("  bare loop %6lld ms  %8.0f records/s  %d marked\n", static_cast<long long>(bare_ms),
              kRecords * 1000.0 / qMax<qint64>(bare_ms, 1), bare_marked);
  std::printf("  ratio %.2f (bound 2.00)\n", ratio);
  if (program_marked != bare_marked) {
    std::printf("  the two runs marked different QSOs\n");
    return 1;
  }
  return ratio <= 2.0 ? 0 : 1;
}
