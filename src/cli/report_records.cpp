#include "cli/report_records.h"

#include <QRegularExpression>

#include "platform/conversions.h"

namespace {

// A tag "<NAME:length>" or "<NAME:length:type>".
const QRegularExpression kTag(QStringLiteral("<([A-Za-z0-9_]+):(\\d{1,6})(?::[A-Za-z])?>"));

ReportRecord ReadRecord(const QStringList& lines) {
  ReportRecord record;
  record.lines = lines;
  QString date;
  const QList<std::pair<QString, QString*>> wanted = {
      {QStringLiteral("CALL"), &record.call},
      {QStringLiteral("BAND"), &record.band},
      {QStringLiteral("MODE"), &record.mode_field},
      {QStringLiteral("SUBMODE"), &record.submode},
      {QStringLiteral("RST_RCVD"), &record.rst_rcvd},
      {QStringLiteral("QSO_DATE"), &date},
      {QStringLiteral("TIME_ON"), &record.time_on}};
  for (const QString& line : lines) {
    for (const QRegularExpressionMatch& tag : kTag.globalMatch(line)) {
      for (const auto& [name, value] : wanted) {
        if (value->isEmpty() && tag.captured(1).compare(name, Qt::CaseInsensitive) == 0) {
          *value = TrimControl(line.mid(tag.capturedEnd(), tag.captured(2).toInt()));
        }
      }
    }
  }
  record.mode = record.submode.isEmpty() ? record.mode_field : record.submode;
  record.qso_date = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
  return record;
}

}  // namespace

QList<ReportRecord> ReadReportRecords(const QStringList& lines) {
  static const QRegularExpression eor(QStringLiteral("<eor>"),
                                      QRegularExpression::CaseInsensitiveOption);
  QList<ReportRecord> records;
  QStringList pending;
  for (const QString& line : lines) {
    QString rest = line;
    // What stands before the header's end is no record.
    const qsizetype header_end = rest.indexOf(QLatin1String("<eoh>"), 0, Qt::CaseInsensitive);
    if (header_end >= 0) {
      records.clear();
      pending.clear();
      rest = rest.mid(header_end + 5);
    }
    // A line may hold a whole record (an inbox) or one field (a report).
    for (QRegularExpressionMatch end = eor.match(rest); end.hasMatch(); end = eor.match(rest)) {
      pending << rest.left(end.capturedStart());
      records << ReadRecord(pending);
      pending.clear();
      rest = rest.mid(end.capturedEnd());
    }
    if (!rest.trimmed().isEmpty()) pending << rest;
  }
  return records;
}

QString RecordTime(const ReportRecord& record) {
  const QString digits = record.time_on.left(4);
  const QTime time = QTime::fromString(digits, QStringLiteral("HHmm"));
  return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}
