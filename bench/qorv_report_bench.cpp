#include "qorv_report_bench.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTime>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "adif/band_tables.h"
#include "bare_sqlite.h"
#include "bench_support.h"
#include "bench_ui.h"
#include "confirmations/confirmation_run.h"
#include "logdb/log_database.h"
#include "logdb/sql_text.h"
#include "platform/conversions.h"

namespace {

QString Field(const char* name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
}

// --- the bare loop -------------------------------------------------------

QByteArray IsoDate(const QString& yyyymmdd) {
  return (yyyymmdd.left(4) + u'-' + yyyymmdd.mid(4, 2) + u'-' + yyyymmdd.mid(6, 2)).toLatin1();
}

struct BareRecord {
  QString call, band, mode, date, time_on, qsl_date, grid, state;
};

struct TableStatements {
  sqlite3_stmt* lookup;
  sqlite3_stmt* update;
};

}  // namespace

QStringList MakeQorvReport(const BenchLogSet& logs, int records, int match_percent, quint32 seed) {
  QRandomGenerator random(seed);
  QStringList lines = {QStringLiteral("ARRL Qorv Status Report"),
                       QStringLiteral("Generated for the benchmark"), QStringLiteral("<eoh>")};
  for (int i = 0; i < records; ++i) {
    const bool matching = static_cast<int>(random.bounded(100)) < match_percent;
    // Only QSOs on bands the report's band names can give back.
    Qso qso;
    QString band;
    while (band.isEmpty() || BandToDigiBand(band).isEmpty()) {
      const QList<Qso>& table = logs.Qsos()[random.bounded(logs.Qsos().size())];
      qso = table[random.bounded(table.size())];
      band = DigiBandToBand(QString::number(qso.DigiBand));
    }
    if (!matching) qso.CallSign = QStringLiteral("ZZ%1NONE").arg(i);
    const QTime time = QTime::fromString(qso.QSOTime, QStringLiteral("HH:mm"))
                           .addSecs(60 * (static_cast<int>(random.bounded(31)) - 15));
    lines << Field("CALL", qso.CallSign) << Field("BAND", band)
          << Field("MODE", qso.QSOMode.section(u' ', -1))
          << Field("QSO_DATE", QString(qso.QSODate).remove(u'-'))
          << Field("TIME_ON", time.toString(QStringLiteral("HHmmss")))
          << Field("QSLRDATE", QStringLiteral("20250101"));
    if (random.bounded(3) == 0) lines << Field("GRIDSQUARE", QStringLiteral("FN42ab"));
    if (random.bounded(4) == 0) lines << Field("STATE", QStringLiteral("MA"));
    lines << QStringLiteral("<eor>");
  }
  return lines;
}

RunTime TimeProgramConfirmationRun(const QString& path, const QString& log_set,
                                   const QStringList& report) {
  BenchUi ui;
  LogDatabase database;
  database.OpenLogDatabase(path);
  const Stopwatch stopwatch;
  ConfirmationRun run(ui, database, log_set, [] {
    ConfirmationOptions options;
    options.update_locator = true;
    options.update_state = true;
    return options;
  });
  run.RunReportLines(report);
  const RunTime time = stopwatch.Elapsed();
  WriteErrorList(path, run.ErrorList());
  return time;
}

RunTime TimeBareConfirmationLoop(const QString& path, const QString& log_set,
                                 const QStringList& report) {
  BareDb db(path);
  const Stopwatch stopwatch;
  QHash<QString, double> bands;
  std::vector<TableStatements> tables;
  for (const QString& table : db.LogSetTables(log_set)) {
    // The program's lookup, word for word, and the same columns written.
    tables.push_back(
        {db.Prepare(QStringLiteral("SELECT rowid AS rid, \"ID\", \"QorvRec\", \"State\" FROM "
                                   "\"%1\" WHERE QSODate = ?1 AND DigiBand = ?2 AND CallSign = ?3 "
                                   "AND QSOTime BETWEEN ?4 AND ?5 AND QSOMode LIKE (?6 || '') "
                                   "ESCAPE '\\' AND rowid BETWEEN (SELECT min(rowid) FROM \"%1\" "
                                   "WHERE QSODate = ?1) AND (SELECT max(rowid) FROM \"%1\" "
                                   "WHERE QSODate = ?1) ORDER BY rowid LIMIT 1")
                        .arg(table)),
         db.Prepare(QStringLiteral("UPDATE \"%1\" SET QorvRec = 1, QorvRecDate = ?, "
                                   "Grid = coalesce(?, Grid), State = coalesce(?, State) "
                                   "WHERE rowid = ?")
                        .arg(table))});
  }

  db.Exec("BEGIN IMMEDIATE");
  BareRecord record;
  QStringList errors;
  for (const QString& line : report) {
    if (line == QLatin1String("<eor>")) {
      const int hh_mm = record.time_on.left(2).toInt() * 60 + record.time_on.mid(2, 2).toInt();
      const QByteArray date = IsoDate(record.date);
      const QByteArray call = record.call.toUtf8();
      const QByteArray from = HhMm(qMax(0, hh_mm - 20));
      const QByteArray to = hh_mm + 20 >= 1440 ? QByteArray("23:59") : HhMm(hh_mm + 20);
      const QByteArray mode = (u'%' + EscapeLike(record.mode) + u'%').toUtf8();
      const QByteArray qsl_date = IsoDate(record.qsl_date);
      const QByteArray grid = record.grid.toUtf8();
      const QByteArray state = record.state.toUtf8();
      auto band = bands.constFind(record.band);
      if (band == bands.cend()) {
        band = bands.insert(record.band, BandToDigiBand(record.band).toDouble());
      }
      bool found = false;
      for (const TableStatements& table : tables) {
        BindStatic(table.lookup, 1, date);
        sqlite3_bind_double(table.lookup, 2, *band);
        BindStatic(table.lookup, 3, call);
        BindStatic(table.lookup, 4, from);
        BindStatic(table.lookup, 5, to);
        BindStatic(table.lookup, 6, mode);
        if (sqlite3_step(table.lookup) != SQLITE_ROW ||
            sqlite3_column_bytes(table.lookup, 1) == 0) {
          sqlite3_reset(table.lookup);
          continue;
        }
        found = true;
        if (sqlite3_column_int(table.lookup, 2) != 0) {
          sqlite3_reset(table.lookup);
          continue;
        }
        const sqlite3_int64 rowid = sqlite3_column_int64(table.lookup, 0);
        const auto* row_state = reinterpret_cast<const char*>(sqlite3_column_text(table.lookup, 3));
        const bool keep_state = row_state != nullptr && std::strchr(row_state, '-') != nullptr;
        sqlite3_reset(table.lookup);
        BindStatic(table.update, 1, qsl_date);
        if (grid.isEmpty()) {
          sqlite3_bind_null(table.update, 2);
        } else {
          BindStatic(table.update, 2, grid);
        }
        if (state.isEmpty() || keep_state) {
          sqlite3_bind_null(table.update, 3);
        } else {
          BindStatic(table.update, 3, state);
        }
        sqlite3_bind_int64(table.update, 4, rowid);
        db.Run(table.update);
      }
      if (!found) {
        const QDate qso_date(record.date.left(4).toInt(), record.date.mid(4, 2).toInt(),
                             record.date.mid(6, 2).toInt());
        errors << QStringLiteral("Error")
               << DateToStr(qso_date) + u' ' + record.time_on.left(2) + u':' +
                      record.time_on.mid(2, 2) + u' ' + BandToDigiBand(record.band) + u' ' +
                      record.mode + u' ' + record.call + u' ' + record.grid + u' ' + record.state;
      }
      record = BareRecord();
      continue;
    }
    if (!line.startsWith(u'<')) continue;
    const qsizetype colon = line.indexOf(u':');
    const qsizetype close = line.indexOf(u'>');
    if (colon < 0 || close < colon) continue;
    const QStringView name = QStringView(line).sliced(1, colon - 1);
    const QString value =
        line.mid(close + 1, QStringView(line).sliced(colon + 1, close - colon - 1).toInt());
    if (name == u"CALL")
      record.call = value;
    else if (name == u"BAND")
      record.band = value;
    else if (name == u"MODE")
      record.mode = value;
    else if (name == u"QSO_DATE")
      record.date = value;
    else if (name == u"TIME_ON")
      record.time_on = value;
    else if (name == u"QSLRDATE")
      record.qsl_date = value;
    else if (name == u"GRIDSQUARE")
      record.grid = value;
    else if (name == u"STATE")
      record.state = value;
  }
  db.Exec("COMMIT");
  const RunTime time = stopwatch.Elapsed();
  WriteErrorList(path, errors);
  return time;
}

QString ConfirmationFingerprint(const QString& path, const QStringList& tables) {
  return RowsWhere(
             path, tables, QStringLiteral("QorvRec = 1"),
             {QStringLiteral("QorvRecDate"), QStringLiteral("Grid"), QStringLiteral("State")}) +
         QStringLiteral("; ") + ErrorListDigest(path);
}
