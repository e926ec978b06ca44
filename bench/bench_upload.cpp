// Export + marking of unsent QSOs against the plainest loop that does the
// same work: the same selection, the same file, the same rows marked.
#include "bench_upload.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "adif/band_tables.h"
#include "bare_sqlite.h"
#include "bench_log_set.h"
#include "bench_support.h"
#include "bench_ui.h"
#include "logdb/log_database.h"
#include "upload/export_file.h"
#include "upload/export_format.h"
#include "upload/submode_table.h"

namespace {

const QString kTable = QStringLiteral("Log_Home");

// Each run writes its file into a folder of its own beside its database.
QString ExportFolder(const QString& database) { return database + QStringLiteral(".export"); }

RunTime ProgramRun(const QString& path, const SubmodeTable& submodes) {
  BenchUi ui;
  LogDatabase database;
  database.OpenLogDatabase(path);
  const Stopwatch stopwatch;
  const std::optional<ExportedFile> exported =
      WriteExportFile(ui, ExportFolder(path), database, kTable, submodes);
  if (!exported) throw std::runtime_error("the export stopped");
  database.MarkSent(kTable, exported->rowids);
  return stopwatch.Elapsed();
}

// --- the bare loop -------------------------------------------------------

void Append(std::string& line, const char* tag, const char* value, int size) {
  char digits[16];
  const char* digits_end = std::to_chars(digits, digits + sizeof digits, size).ptr;
  line += '<';
  line += tag;
  line += ':';
  line.append(digits, static_cast<size_t>(digits_end - digits));
  line += '>';
  line.append(value, size);
}

void Append(std::string& line, const char* tag, const QByteArray& value) {
  Append(line, tag, value.constData(), static_cast<int>(value.size()));
}

// The export writes the ANSI code page; the generated log is plain ASCII,
// which the bare loop writes as it reads it, and checks that it is.
const char* Ascii(sqlite3_stmt* statement, int column, int* size) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  *size = sqlite3_column_bytes(statement, column);
  for (int i = 0; i < *size; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      throw std::runtime_error("the bare loop writes ASCII only");
    }
  }
  return text != nullptr ? text : "";
}

// "HH:MM" or "H:MM" (seconds allowed) as hhmm.
bool AdifTime(const char* text, int size, char* out) {
  const char* colon = static_cast<const char*>(std::memchr(text, ':', size));
  const int hour_digits = colon != nullptr ? static_cast<int>(colon - text) : 0;
  if (hour_digits < 1 || hour_digits > 2 || size < hour_digits + 3) return false;
  out[0] = hour_digits == 2 ? text[0] : '0';
  out[1] = text[hour_digits - 1];
  out[2] = colon[1];
  out[3] = colon[2];
  return true;
}

// The frequency as the export writes it: the digits of the MHz text read
// as a count of 10 Hz steps (a dot among the first three characters dropped,
// a second dot marking where a missing digit is added), written in MHz without
// trailing zeros. Texts of another shape go through the program's conversion.
QByteArray Frequency(const char* text, int size) {
  const auto converted = [&] { return FreqToAdif(QString::fromLatin1(text, size)).toLatin1(); };
  if (size < 4 || size == 5 || size == 6 || size > 15) return converted();
  const char* first_dot = static_cast<const char*>(std::memchr(text, '.', size));
  const bool drop_first = first_dot != nullptr && first_dot - text <= 2;
  qint64 steps = 0;
  int dots = 0;
  bool add_digit = false;
  for (int i = 0; i < size; ++i) {
    if (text[i] == '.') {
      ++dots;
      if (dots > (drop_first ? 2 : 1)) return converted();
      if (!drop_first || dots == 2) add_digit = size - (drop_first ? i : i + 1) < 2;
      continue;
    }
    if (text[i] < '0' || text[i] > '9') return converted();
    steps = steps * 10 + (text[i] - '0');
  }
  if (add_digit) steps *= 10;
  char out[32];
  int length = std::snprintf(out, sizeof out, "%lld.%05lld", steps / 100000, steps % 100000);
  while (out[length - 1] == '0') --length;
  if (out[length - 1] == '.') --length;
  return QByteArray(out, length);
}

// The mode fields of one QSOMode, made once per distinct mode.
std::string ModeFields(const QString& stored, const SubmodeTable& submodes) {
  QString mode = ModeToAdif(stored);
  const QString adif_mode = submodes.Lookup(mode);
  if (mode == u"CONTEST") mode = QStringLiteral("CONTESTI");
  std::string fields;
  if (adif_mode.isEmpty()) {
    Append(fields, "MODE", mode.toLatin1());
  } else {
    Append(fields, "MODE", adif_mode.toLatin1());
    Append(fields, "SUBMODE", mode.toLatin1());
  }
  return fields;
}

RunTime BareRun(const QString& path, const SubmodeTable& submodes) {
  BareDb db(path);
  const Stopwatch stopwatch;
  // The program's selection, word for word.
  sqlite3_stmt* select = db.Prepare(
      QStringLiteral(
          "SELECT rowid AS rid, \"CallSign\", \"QSODate\", \"QSOTime\", \"DigiBand\", \"QSOBand\", "
          "\"QSOMode\", \"SAT_NAME\" FROM \"%1\" WHERE \"QorvSent\" = 0 ORDER BY \"QSODate\", "
          "rowid")
          .arg(kTable));
  std::string out;
  QList<sqlite3_int64> rowids;
  QHash<double, QByteArray> bands;
  QHash<QByteArray, std::string> modes;
  while (sqlite3_step(select) == SQLITE_ROW) {
    int size = 0;
    std::string& line = out;
    const char* call = Ascii(select, 1, &size);
    Append(line, "CALL", call, size);
    const char* date = Ascii(select, 2, &size);
    if (size != 10) throw std::runtime_error("a QSODate the bare loop does not read");
    const char yyyymmdd[] = {date[0], date[1], date[2], date[3],
                             date[5], date[6], date[8], date[9]};
    Append(line, "QSO_DATE", yyyymmdd, 8);
    char hhmm[4];
    const char* time = Ascii(select, 3, &size);
    if (!AdifTime(time, size, hhmm))
      throw std::runtime_error("a QSOTime the bare loop does not read");
    Append(line, "TIME_ON", hhmm, 4);
    const double digi_band = sqlite3_column_double(select, 4);
    auto band = bands.constFind(digi_band);
    if (band == bands.cend()) {
      band = bands.insert(digi_band, DigiBandToBand(QString::number(digi_band)).toLatin1());
    }
    Append(line, "BAND", *band);
    const char* freq = Ascii(select, 5, &size);
    Append(line, "FREQ", Frequency(freq, size));
    const char* mode_text = Ascii(select, 6, &size);
    const QByteArray mode(mode_text, size);
    auto fields = modes.constFind(mode);
    if (fields == modes.cend()) {
      fields = modes.insert(mode, ModeFields(QString::fromLatin1(mode), submodes));
    }
    line += *fields;
    const char* sat = Ascii(select, 7, &size);
    int start = 0;
    while (start < size && static_cast<unsigned char>(sat[start]) <= ' ') ++start;
    if (start < size) {
      Append(line, "SAT_NAME", sat, size);
      line += "<PROP_MODE:3>SAT";
    }
    line += "<EOR>\r\n";
    rowids.append(sqlite3_column_int64(select, 0));
  }
  sqlite3_reset(select);

  QByteArray header;
  for (const QString& text : ExportHeader(rowids.size(), QDateTime::currentDateTime())) {
    header += text.toLatin1() + "\r\n";
  }
  QDir().mkpath(ExportFolder(path));
  QFile file(ExportFolder(path) + QStringLiteral("/bare.adi"));
  if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
      file.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size())) {
    throw std::runtime_error("the bare loop could not write its file");
  }
  file.close();

  sqlite3_stmt* mark =
      db.Prepare(QStringLiteral("UPDATE \"%1\" SET \"QorvSent\" = 1 WHERE rowid = ?").arg(kTable));
  db.Exec("BEGIN IMMEDIATE");
  for (const sqlite3_int64 rowid : rowids) {
    sqlite3_bind_int64(mark, 1, rowid);
    db.Run(mark);
  }
  db.Exec("COMMIT");
  return stopwatch.Elapsed();
}

// The rows marked, and the records of the one file the run wrote (the header
// holds the time of writing).
QString UploadResult(const QString& database) {
  const QString marked =
      RowsWhere(database, {kTable}, QStringLiteral("QorvSent = 1"), {QStringLiteral("QSODate")});
  QDir folder(ExportFolder(database));
  const QStringList files = folder.entryList({QStringLiteral("*.adi")}, QDir::Files);
  QString written = QStringLiteral("%1 files").arg(files.size());
  if (files.size() == 1) {
    QFile file(folder.filePath(files.first()));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const qsizetype records = bytes.indexOf("<EOH>\r\n");
    written = QStringLiteral("file of %1 bytes, records %2")
                  .arg(bytes.size())
                  .arg(QString::fromLatin1(
                      QCryptographicHash::hash(bytes.mid(records), QCryptographicHash::Sha256)
                          .toHex()
                          .left(16)));
  }
  folder.removeRecursively();
  return marked + QStringLiteral("; ") + written;
}

}  // namespace

int RunUploadBenchmark() {
  QTemporaryDir folder;
  std::printf("Creating a log set of three logs of %d QSOs...\n", QsosPerLog());
  BenchLogSet logs(folder.path(), QsosPerLog());
  logs.DropQsos();
  // Every QSO of the first log waits to be sent.
  logs.ChangeMaster(QStringLiteral("UPDATE %1 SET QorvSent = 0").arg(kTable));
  const SubmodeTable submodes =
      SubmodeTable::Load(QStringLiteral(QORV_SOURCE_DIR "/src/upload/Submode.txt"));
  const bool same = CompareRuns(
      "export + marking of unsent QSOs", QsosPerLog(),
      [&] { return logs.FreshCopy(QStringLiteral("run")); },
      [&](const QString& database) { return ProgramRun(database, submodes); },
      [&](const QString& database) { return BareRun(database, submodes); }, UploadResult);
  return same ? 0 : 1;
}
