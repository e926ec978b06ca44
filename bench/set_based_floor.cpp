#include "set_based_floor.h"

#include <QFile>
#include <QHash>
#include <stdexcept>
#include <vector>

#include "adif/band_tables.h"
#include "bare_sqlite.h"

namespace {

// A QSO of the log set as the look-up sees it.
struct LoggedRow {
  sqlite3_int64 rowid = 0;
  QByteArray time;
  QByteArray mode;
  bool confirmed = false;
};

struct Table {
  // Rows by date, band and call, each list in row id order.
  QHash<QByteArray, std::vector<LoggedRow>> rows;
  sqlite3_stmt* update = nullptr;
};

QByteArray Key(const QByteArray& date, double band, const QByteArray& call) {
  return date + '\t' + QByteArray::number(band, 'g', 17) + '\t' + call;
}

QByteArray ColumnBytes(sqlite3_stmt* statement, int column) {
  return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                    sqlite3_column_bytes(statement, column));
}

void ReadTable(BareDb& db, const QString& name, Table& table) {
  sqlite3_stmt* all = db.Prepare(
      QStringLiteral("SELECT rowid, QSODate, DigiBand, CallSign, QSOTime, QSOMode, QorvRec FROM "
                     "\"%1\" ORDER BY rowid")
          .arg(name));
  while (sqlite3_step(all) == SQLITE_ROW) {
    if (sqlite3_column_type(all, 5) == SQLITE_NULL) continue;  // LIKE finds no mode in NULL
    table.rows[Key(ColumnBytes(all, 1), sqlite3_column_double(all, 2), ColumnBytes(all, 3))]
        .push_back({sqlite3_column_int64(all, 0), ColumnBytes(all, 4), ColumnBytes(all, 5),
                    sqlite3_column_int(all, 6) != 0});
  }
  sqlite3_reset(all);
  table.update = db.Prepare(
      QStringLiteral("UPDATE \"%1\" SET QorvRec = 1, QorvRecDate = ? WHERE rowid = ?").arg(name));
}

// The fields of one report record that the look-up uses, as read.
struct Record {
  QByteArray call, band, mode, submode, date, time_on, qsl_date;
  bool Complete() const { return date.size() == 8 && time_on.size() >= 4; }
};

QByteArray IsoDate(const QByteArray& yyyymmdd) {
  return yyyymmdd.left(4) + '-' + yyyymmdd.mid(4, 2) + '-' + yyyymmdd.mid(6, 2);
}

// Reads every "<NAME:length>value" on a line into the record; true at "<eor>".
bool ReadLine(const QByteArray& line, Record& record) {
  bool end = false;
  for (qsizetype open = line.indexOf('<'); open >= 0; open = line.indexOf('<', open + 1)) {
    const qsizetype close = line.indexOf('>', open);
    if (close < 0) break;
    const QByteArray tag = line.mid(open + 1, close - open - 1).toUpper();
    if (tag == "EOR") {
      end = true;
      continue;
    }
    const QList<QByteArray> parts = tag.split(':');
    if (parts.size() < 2) continue;
    const QByteArray value = line.mid(close + 1, parts[1].toInt()).trimmed();
    const QByteArray& name = parts[0];
    if (name == "CALL") {
      record.call = value;
    } else if (name == "BAND") {
      record.band = value;
    } else if (name == "MODE") {
      record.mode = value;
    } else if (name == "SUBMODE") {
      record.submode = value;
    } else if (name == "QSO_DATE") {
      record.date = value;
    } else if (name == "TIME_ON") {
      record.time_on = value;
    } else if (name == "QSLRDATE") {
      record.qsl_date = value;
    }
  }
  return end;
}

}  // namespace

SetFloorResult RunSetBasedFloor(const QString& database, const QString& report,
                                const QString& log_set) {
  SetFloorResult result;
  BareDb db(database);
  const Stopwatch stopwatch;
  std::vector<Table> tables;
  for (const QString& name : db.LogSetTables(log_set)) {
    tables.emplace_back();
    ReadTable(db, name, tables.back());
  }
  QFile file(report);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("the report cannot be read");
  QHash<QByteArray, double> bands;
  db.Exec("BEGIN IMMEDIATE");
  Record record;
  bool header = true;
  while (!file.atEnd()) {
    const QByteArray line = file.readLine();
    if (header) {
      header = !line.toLower().contains("<eoh>");
      continue;
    }
    if (!ReadLine(line, record)) continue;
    ++result.records;
    bool found = false;
    auto band = bands.constFind(record.band);
    if (band == bands.cend()) {
      const QString digi_band = BandToDigiBand(QString::fromUtf8(record.band));
      band = bands.insert(record.band, digi_band.isEmpty() ? -1 : digi_band.toDouble());
    }
    if (*band >= 0 && record.Complete()) {
      const int minutes = record.time_on.left(2).toInt() * 60 + record.time_on.mid(2, 2).toInt();
      const QByteArray from = HhMm(qMax(0, minutes - 20));
      const QByteArray to = minutes + 20 >= 1440 ? QByteArray("23:59") : HhMm(minutes + 20);
      const QByteArray mode = (record.submode.isEmpty() ? record.mode : record.submode).toUpper();
      const QByteArray key = Key(IsoDate(record.date), *band, record.call);
      const QByteArray qsl_date = IsoDate(record.qsl_date);
      for (Table& table : tables) {
        const auto rows = table.rows.find(key);
        if (rows == table.rows.end()) continue;
        for (LoggedRow& row : *rows) {
          if (row.time < from || row.time > to || !row.mode.toUpper().contains(mode)) continue;
          found = true;
          if (!row.confirmed) {
            BindStatic(table.update, 1, qsl_date);
            sqlite3_bind_int64(table.update, 2, row.rowid);
            db.Run(table.update);
            row.confirmed = true;
            ++result.confirmed;
          }
          break;
        }
      }
    }
    if (!found) ++result.unmatched;
    record = Record();
  }
  db.Exec("COMMIT");
  result.time = stopwatch.Elapsed();
  return result;
}
