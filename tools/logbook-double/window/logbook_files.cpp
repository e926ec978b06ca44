#include "window/logbook_files.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

const QString kSection = QStringLiteral("EditNewQso");
const QString kKey = QStringLiteral("LogName");

bool IsSectionLine(const QString& line, QString* name) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(u'[') || !trimmed.contains(u']')) return false;
  *name = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
  return true;
}

// The value when the line sets `key`.
bool KeyValue(const QString& line, const QString& key, QString* value) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0) {
    return false;
  }
  QString text = line.mid(equals + 1).trimmed();
  if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
      text.back() == text.front()) {
    text = text.mid(1, text.size() - 2);
  }
  *value = text;
  return true;
}

void Check(const QSqlQuery& query, bool ok) {
  if (!ok) throw AppError(query.lastError().text());
}

QString QuotedIdentifier(const QString& name) {
  QString inner = name;
  return u'"' + inner.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

QString ReadCurrentLogName(const QString& ini_path) {
  if (!QFileInfo::exists(ini_path)) return QString();
  QString section;
  for (const QString& line : ReadTextFileLines(ini_path)) {
    if (IsSectionLine(line, &section)) continue;
    QString value;
    if (section.compare(kSection, Qt::CaseInsensitive) == 0 && KeyValue(line, kKey, &value)) {
      return value;
    }
  }
  return QString();
}

void WriteCurrentLogName(const QString& ini_path, const QString& log_name) {
  TextEncoding encoding = TextEncoding::kAnsi;
  QStringList lines;
  if (QFileInfo::exists(ini_path)) lines = ReadTextFileLines(ini_path, &encoding);
  const QString new_line = kKey + u'=' + log_name;
  QString section;
  qsizetype section_end = -1;  // where a missing key goes
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (IsSectionLine(lines.at(i), &section)) continue;
    if (section.compare(kSection, Qt::CaseInsensitive) != 0) continue;
    QString value;
    if (KeyValue(lines.at(i), kKey, &value)) {
      lines[i] = new_line;
      WriteTextFileLines(ini_path, lines, encoding);
      return;
    }
    if (!lines.at(i).trimmed().isEmpty()) section_end = i + 1;
  }
  if (section_end < 0) {
    // Find the section header itself (the section may be empty).
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (IsSectionLine(lines.at(i), &section) &&
          section.compare(kSection, Qt::CaseInsensitive) == 0) {
        section_end = i + 1;
      }
    }
  }
  if (section_end < 0) {
    lines << u'[' + kSection + u']';
    section_end = lines.size();
  }
  lines.insert(section_end, new_line);
  WriteTextFileLines(ini_path, lines, encoding);
}

LogbookDatabase::LogbookDatabase(const QString& path)
    : connection_name_(QStringLiteral("logbook-double-") + QUuid::createUuid().toString()) {
  if (!QFileInfo(path).isFile()) throw AppError(QStringLiteral("Log database not found: ") + path);
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
  if (!db.open()) {
    const QString reason = db.lastError().text();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_name_);
    throw AppError(reason);
  }
}

LogbookDatabase::~LogbookDatabase() {
  QSqlDatabase::database(connection_name_, false).close();
  QSqlDatabase::removeDatabase(connection_name_);
}

QStringList LogbookDatabase::LogNames() const {
  QSqlQuery query(QSqlDatabase::database(connection_name_, false));
  Check(query, query.exec(QStringLiteral("SELECT LogName FROM Aconfig ORDER BY rowid")));
  QStringList names;
  while (query.next()) names << query.value(0).toString();
  return names;
}

std::vector<QsoRow> LogbookDatabase::LoadQsos(const QString& log_name) const {
  const QSqlDatabase db = QSqlDatabase::database(connection_name_, false);
  QSqlQuery lookup(db);
  Check(lookup, lookup.prepare(QStringLiteral(
                    "SELECT LogFileName FROM Aconfig WHERE LogName = :name ORDER BY rowid")));
  lookup.bindValue(QStringLiteral(":name"), log_name);
  Check(lookup, lookup.exec());
  if (!lookup.next()) return {};
  const QString table = lookup.value(0).toString();
  lookup.finish();

  QSqlQuery query(db);
  query.setForwardOnly(true);
  Check(query, query.exec(QStringLiteral("SELECT ID, QSODate, QSOTime, CallSign, DigiBand, "
                                         "QSOMode, QorvRec, QSLReceQSLcc, QorvSent FROM %1 "
                                         "ORDER BY QSODate DESC, QSOTime DESC, ID DESC")
                              .arg(QuotedIdentifier(table))));
  std::vector<QsoRow> rows;
  while (query.next()) {
    QsoRow row;
    row.id = query.value(0).toLongLong();
    row.date = query.value(1).toString();
    row.time = query.value(2).toString();
    row.call = query.value(3).toString();
    row.band = query.value(4).toString();
    row.mode = query.value(5).toString();
    row.qorv_rec = query.value(6).toInt() != 0;
    row.eqsl_rec = query.value(7).toInt() != 0;
    row.qorv_sent = query.value(8).toInt() != 0;
    rows.push_back(std::move(row));
  }
  return rows;
}
