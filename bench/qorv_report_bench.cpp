#include "qorv_report_bench.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QRandomGenerator>
#include <QTime>
#include <stdexcept>

#include "adif/band_tables.h"
#include "confirmations/confirmation_run.h"
#include "logdb/log_database.h"

namespace {

QString Field(const char* name, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(QLatin1String(name)).arg(value.size()).arg(value);
}

// A window that only lets events run.
class BenchUi : public OperationUi {
 public:
  void SetCaption(const QString&) override {}
  QString LogName() const override { return {}; }
  void SetProgress(int) override {}
  void SetResult(ResultLabel, const QString&) override {}
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  void ShowMessage(MessageKind, const QString&, const QString&) override {}
  void ShowTextFile(const QString&) override {}
  bool ChooseAdifFile(QString*) override { return false; }
};

// --- the bare loop -------------------------------------------------------

class Sqlite {
 public:
  explicit Sqlite(const QString& path) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
  }
  ~Sqlite() { sqlite3_close(db_); }
  Sqlite(const Sqlite&) = delete;
  Sqlite& operator=(const Sqlite&) = delete;

  sqlite3_stmt* Prepare(const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK) {
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
    return statement;
  }
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw std::runtime_error(sqlite3_errmsg(db_));
    }
  }
  QString Text(const QString& sql) {
    sqlite3_stmt* statement = Prepare(sql);
    QString text;
    if (sqlite3_step(statement) == SQLITE_ROW) {
      text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    return text;
  }

 private:
  sqlite3* db_ = nullptr;
};

void BindText(sqlite3_stmt* statement, int index, const QByteArray& text) {
  sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
}

QByteArray HhMm(int minutes) {
  const char digits[] = "0123456789";
  const int hours = minutes / 60;
  const int rest = minutes % 60;
  const char text[] = {digits[hours / 10], digits[hours % 10], ':', digits[rest / 10],
                       digits[rest % 10]};
  return QByteArray(text, sizeof text);
}

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
  return stopwatch.Elapsed();
}

RunTime TimeBareConfirmationLoop(const QString& path, const QString& log_set,
                                 const QStringList& report) {
  Sqlite db(path);
  const Stopwatch stopwatch;
  QHash<QString, double> bands;
  for (const char* name : {"160M", "80M", "60M", "40M", "30M", "20M", "17M", "15M", "12M", "10M",
                           "6M", "2M", "70CM"}) {
    bands.insert(QLatin1String(name), BandToDigiBand(QLatin1String(name)).toDouble());
  }
  std::vector<TableStatements> tables;
  sqlite3_stmt* walk =
      db.Prepare(QStringLiteral("SELECT LogFileName FROM Aconfig WHERE LogSet = ?"));
  BindText(walk, 1, log_set.toUtf8());
  while (sqlite3_step(walk) == SQLITE_ROW) {
    const QString table =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(walk, 0)));
    tables.push_back(
        {db.Prepare(QStringLiteral("SELECT rowid, ID, QorvRec, State FROM \"%1\" WHERE QSODate = ? "
                                   "AND DigiBand = ? AND CallSign = ? AND QSOTime BETWEEN ? AND ? "
                                   "AND QSOMode LIKE (? || '') LIMIT 1")
                        .arg(table)),
         db.Prepare(QStringLiteral("UPDATE \"%1\" SET QorvRec = 1, QorvRecDate = ?, "
                                   "Grid = coalesce(?, Grid), State = coalesce(?, State) "
                                   "WHERE rowid = ?")
                        .arg(table))});
  }
  sqlite3_finalize(walk);

  db.Exec("BEGIN IMMEDIATE");
  BareRecord record;
  for (const QString& line : report) {
    if (line == QLatin1String("<eor>")) {
      const int hh_mm = record.time_on.left(2).toInt() * 60 + record.time_on.mid(2, 2).toInt();
      const QByteArray date = IsoDate(record.date);
      const QByteArray call = record.call.toUtf8();
      const QByteArray from = HhMm(qMax(0, hh_mm - 20));
      const QByteArray to = hh_mm + 20 >= 1440 ? QByteArray("23:59") : HhMm(hh_mm + 20);
      const QByteArray mode = (u'%' + record.mode + u'%').toUtf8();
      for (const TableStatements& table : tables) {
        sqlite3_reset(table.lookup);
        BindText(table.lookup, 1, date);
        sqlite3_bind_double(table.lookup, 2, bands.value(record.band));
        BindText(table.lookup, 3, call);
        BindText(table.lookup, 4, from);
        BindText(table.lookup, 5, to);
        BindText(table.lookup, 6, mode);
        if (sqlite3_step(table.lookup) != SQLITE_ROW ||
            sqlite3_column_type(table.lookup, 1) == SQLITE_NULL ||
            sqlite3_column_int(table.lookup, 2) != 0) {
          continue;
        }
        const sqlite3_int64 rowid = sqlite3_column_int64(table.lookup, 0);
        const bool keep_state =
            QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(table.lookup, 3)))
                .contains('-');
        sqlite3_reset(table.lookup);
        sqlite3_reset(table.update);
        BindText(table.update, 1, IsoDate(record.qsl_date));
        if (record.grid.isEmpty()) {
          sqlite3_bind_null(table.update, 2);
        } else {
          BindText(table.update, 2, record.grid.toUtf8());
        }
        if (record.state.isEmpty() || keep_state) {
          sqlite3_bind_null(table.update, 3);
        } else {
          BindText(table.update, 3, record.state.toUtf8());
        }
        sqlite3_bind_int64(table.update, 4, rowid);
        sqlite3_step(table.update);
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
  for (const TableStatements& table : tables) {
    sqlite3_finalize(table.lookup);
    sqlite3_finalize(table.update);
  }
  return time;
}

QString ConfirmationFingerprint(const QString& path, const QStringList& tables) {
  Sqlite db(path);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  qint64 confirmed = 0;
  for (const QString& table : tables) {
    confirmed += db.Text(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE QorvRec = 1").arg(table))
                     .toLongLong();
    hash.addData(db.Text(QStringLiteral("SELECT group_concat(ID || '|' || ifnull(QorvRecDate, '') "
                                        "|| '|' || ifnull(Grid, '') || '|' || ifnull(State, ''), "
                                        "';') FROM (SELECT * FROM \"%1\" WHERE QorvRec = 1 ORDER "
                                        "BY ID)")
                             .arg(table))
                     .toUtf8());
  }
  return QStringLiteral("%1 confirmed, %2")
      .arg(confirmed)
      .arg(QString::fromLatin1(hash.result().toHex().left(16)));
}
