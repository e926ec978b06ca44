// The eQSL run against the plainest loop that does the same work.
#include "bench_eqsl.h"

#include <QHash>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "adif/band_tables.h"
#include "bare_sqlite.h"
#include "bench_log_set.h"
#include "bench_support.h"
#include "bench_ui.h"
#include "eqsl/inbox_run.h"
#include "logdb/log_database.h"
#include "logdb/sql_text.h"
#include "platform/conversions.h"

namespace {

QString Field(const char* name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
}

// One eQSL line per record: two of three confirm a QSO of the first log
// (some of them marked there before), the rest name a call sign that is
// nowhere in the log set.
QStringList InboxLines(const QList<Qso>& qsos) {
  QStringList lines = {QStringLiteral("ADIF 3 Export from eQSL.cc"), QStringLiteral("<EOH>")};
  for (int i = 0; i < QsosPerLog(); ++i) {
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

RunTime ProgramRun(const QString& path, const QString& log_set, const QStringList& lines) {
  BenchUi ui;
  LogDatabase database;
  database.OpenLogDatabase(path);
  const Stopwatch stopwatch;
  EqslInboxRun run(database, log_set, {}, ui);
  run.RunInboxLines(lines);
  const RunTime time = stopwatch.Elapsed();
  WriteErrorList(path, run.ErrorList());
  return time;
}

// The fields of one inbox line that the run reads; typed values upper case.
struct InboxRecord {
  QString call, date, time, band, mode, submode, rst;
  bool has_submode_text = false;
};

InboxRecord ReadInboxLine(const QString& line) {
  InboxRecord record;
  for (qsizetype open = line.indexOf(u'<'); open >= 0; open = line.indexOf(u'<', open + 1)) {
    const qsizetype colon = line.indexOf(u':', open);
    const qsizetype close = line.indexOf(u'>', open);
    if (colon < 0 || close < colon) continue;
    const qsizetype type = line.indexOf(u':', colon + 1);
    const qsizetype length_end = type >= 0 && type < close ? type : close;
    const QStringView name = QStringView(line).sliced(open + 1, colon - open - 1);
    const QString value =
        line.mid(close + 1, QStringView(line).sliced(colon + 1, length_end - colon - 1).toInt())
            .trimmed();
    if (name == u"CALL") {
      record.call = value.toUpper();
    } else if (name == u"QSO_DATE") {
      record.date = value;
    } else if (name == u"TIME_ON") {
      record.time = value;
    } else if (name == u"BAND") {
      record.band = value.toUpper();
    } else if (name == u"MODE") {
      record.mode = value.toUpper();
    } else if (name == u"SUBMODE") {
      record.submode = value;
      record.has_submode_text = true;
    } else if (name == u"RST_RCVD") {
      record.rst = value;
    }
  }
  return record;
}

// The run's mode rules for a record on one line.
QString EffectiveMode(const InboxRecord& record) {
  QString mode = record.mode;
  if (mode == u"PSK" || mode == u"MFSK") {
    if (record.has_submode_text) {
      mode = record.submode.toUpper();
    } else if (mode == u"MFSK") {
      mode = QStringLiteral("FT4");
    }
  }
  if (record.submode.contains(QLatin1String("MFSK")) &&
      (record.rst.size() == 2 || record.rst.contains(u'-') || record.rst.contains(u'+'))) {
    mode = QStringLiteral("FT4");
  }
  if (mode == u"CONTESTI") mode = QStringLiteral("CONTEST");
  return mode;
}

struct TableStatements {
  sqlite3_stmt* lookup;
  sqlite3_stmt* mark;
};

// The same work as plainly as SQLite allows: each line read once, the
// program's lookup prepared once per table, every change in one transaction.
RunTime BareRun(const QString& path, const QString& log_set, const QStringList& lines) {
  BareDb db(path);
  const Stopwatch stopwatch;
  std::vector<TableStatements> tables;
  for (const QString& table : db.LogSetTables(log_set)) {
    tables.push_back(
        {db.Prepare(QStringLiteral("SELECT rowid AS rid, \"ID\", \"QSLReceQSLcc\" FROM \"%1\" "
                                   "WHERE QSODate = ? AND DigiBand = ? AND CallSign LIKE (? || '') "
                                   "ESCAPE '\\' AND QSOTime BETWEEN ? AND ? AND QSOMode LIKE "
                                   "(? || '') ESCAPE '\\' ORDER BY rowid LIMIT 1")
                        .arg(table)),
         db.Prepare(
             QStringLiteral("UPDATE \"%1\" SET QSLReceQSLcc = 1 WHERE rowid = ?").arg(table))});
  }

  QHash<QString, double> bands;
  QStringList errors;
  db.Exec("BEGIN IMMEDIATE");
  for (const QString& line : lines) {
    const InboxRecord record = ReadInboxLine(line);
    if (record.call.isEmpty() || record.date.isEmpty() || record.time.size() < 4) continue;
    auto band = bands.constFind(record.band);
    if (band == bands.cend()) {
      const QString digi_band = BandToDigiBand(record.band);
      if (digi_band.isEmpty()) continue;
      band = bands.insert(record.band, digi_band.toDouble());
    }
    const int minutes = record.time.left(2).toInt() * 60 + record.time.mid(2, 2).toInt();
    const QByteArray date =
        (record.date.left(4) + u'-' + record.date.mid(4, 2) + u'-' + record.date.mid(6, 2))
            .toUtf8();
    const QByteArray call = (EscapeLike(record.call) + u'%').toUtf8();
    const QByteArray from = minutes < 20 ? QByteArray("00:00") : HhMm(minutes - 20);
    const QByteArray to = minutes + 20 >= 24 * 60 ? QByteArray("23:59") : HhMm(minutes + 20);
    const QString effective_mode = EffectiveMode(record);
    const QByteArray mode = (u'%' + EscapeLike(effective_mode) + u'%').toUtf8();
    bool found = false;
    for (const TableStatements& table : tables) {
      BindStatic(table.lookup, 1, date);
      sqlite3_bind_double(table.lookup, 2, *band);
      BindStatic(table.lookup, 3, call);
      BindStatic(table.lookup, 4, from);
      BindStatic(table.lookup, 5, to);
      BindStatic(table.lookup, 6, mode);
      const bool row = sqlite3_step(table.lookup) == SQLITE_ROW &&
                       sqlite3_column_bytes(table.lookup, 1) > 0;
      const bool unmarked = row && sqlite3_column_int(table.lookup, 2) == 0;
      const sqlite3_int64 rowid = sqlite3_column_int64(table.lookup, 0);
      sqlite3_reset(table.lookup);
      found = found || row;
      if (!unmarked) continue;
      sqlite3_bind_int64(table.mark, 1, rowid);
      db.Run(table.mark);
    }
    if (!found) {
      const QDate qso_date(record.date.left(4).toInt(), record.date.mid(4, 2).toInt(),
                           record.date.mid(6, 2).toInt());
      errors << QStringLiteral("Error")
             << DateToStr(qso_date) + u' ' + record.time.left(2) + u':' + record.time.mid(2, 2) +
                    u' ' + BandToDigiBand(record.band) + u' ' + effective_mode + u' ' +
                    record.call + u' ' + effective_mode + u' ';
    }
  }
  db.Exec("COMMIT");
  const RunTime time = stopwatch.Elapsed();
  WriteErrorList(path, errors);
  return time;
}

}  // namespace

int RunEqslBenchmark() {
  QTemporaryDir folder;
  std::printf("Creating a log set of three logs of %d QSOs...\n", QsosPerLog());
  BenchLogSet logs(folder.path(), QsosPerLog());
  const QStringList lines = InboxLines(logs.Qsos().first());
  logs.DropQsos();
  const bool same = CompareRuns(
      "eQSL inbox", QsosPerLog(), [&] { return logs.FreshCopy(QStringLiteral("run")); },
      [&](const QString& database) { return ProgramRun(database, logs.LogSet(), lines); },
      [&](const QString& database) { return BareRun(database, logs.LogSet(), lines); },
      [&](const QString& database) {
        return RowsWhere(database, logs.Tables(), QStringLiteral("QSLReceQSLcc = 1"), {}) +
               QStringLiteral("; ") + ErrorListDigest(database);
      });
  return same ? 0 : 1;
}
