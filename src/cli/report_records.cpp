#include "cli/report_records.h"

#include <QRegularExpression>

#include "adif/adif_reader.h"
#include "platform/conversions.h"

namespace {

QString Field(const QString& text, QStringView name) {
  CurrentLine = text;
  return TrimControl(GetAdifValue(name));
}

ReportRecord ReadRecord(const QStringList& lines) {
  ReportRecord record;
  record.lines = lines;
  // Each field is looked for in the record's text from its start: one
  // field's tag searched in a line of its own, as the runs do.
  for (const QString& line : lines) {
    const auto take = [&line](QStringView name, QString* value) {
      const QString tag = QStringLiteral("<") + name.toString() + u':';
      if (value->isEmpty() && line.contains(tag, Qt::CaseInsensitive)) *value = Field(line, name);
    };
    QString date;
    QString submode;
    take(u"CALL", &record.call);
    take(u"BAND", &record.band);
    take(u"MODE", &record.mode);
    take(u"SUBMODE", &submode);
    take(u"QSO_DATE", &date);
    take(u"TIME_ON", &record.time_on);
    if (!submode.isEmpty()) record.mode = submode;
    if (!date.isEmpty()) record.qso_date = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
  }
  return record;
}

}  // namespace

QList<ReportRecord> ReadReportRecords(const QStringList& lines) {
  static const QRegularExpression eor(QStringLiteral("<eor>"),
                                      QRegularExpression::CaseInsensitiveOption);
  qsizetype start = 0;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (lines[i].contains(QLatin1String("<eoh>"), Qt::CaseInsensitive)) start = i + 1;
  }
  QList<ReportRecord> records;
  QStringList pending;
  for (qsizetype i = start; i < lines.size(); ++i) {
    // A line may hold a whole record (an inbox) or one field (a report).
    QString rest = lines[i];
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
