#include "confirmations/report_records.h"

#include "adif/adif_tags.h"
#include "platform/conversions.h"

namespace {

ReportRecord ReadRecord(const QStringList& lines) {
  ReportRecord record;
  record.lines = lines;
  QString date;
  const std::pair<QStringView, QString*> wanted[] = {
      {u"CALL", &record.call},       {u"BAND", &record.band},         {u"MODE", &record.mode_field},
      {u"SUBMODE", &record.submode}, {u"RST_RCVD", &record.rst_rcvd}, {u"QSO_DATE", &date},
      {u"TIME_ON", &record.time_on}};
  for (const QString& line : lines) {
    ForEachAdifTag(line, [&](const AdifTag& tag) {
      if (tag.IsMarker()) return;
      for (const auto& [name, value] : wanted) {
        if (value->isEmpty() && tag.Is(name)) *value = TrimControl(tag.Value(line).toString());
      }
    });
  }
  record.mode = record.submode.isEmpty() ? record.mode_field : record.submode;
  record.qso_date = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
  return record;
}

}  // namespace

void ForEachReportRecord(const QStringList& lines,
                         const std::function<void(const ReportRecord&, qsizetype)>& record) {
  // What stands before the header's end is no record.
  qsizetype first = 0;
  for (qsizetype index = 0; index < lines.size(); ++index) {
    if (lines[index].contains(QLatin1String("<eoh>"), Qt::CaseInsensitive)) first = index;
  }
  QStringList pending;
  for (qsizetype index = first; index < lines.size(); ++index) {
    QString rest = lines[index];
    const qsizetype header_end = rest.lastIndexOf(QLatin1String("<eoh>"), -1, Qt::CaseInsensitive);
    if (header_end >= 0) rest = rest.mid(header_end + 5);
    // A line may hold a whole record (an inbox) or one field (a report).
    for (qsizetype end = rest.indexOf(QLatin1String("<eor>"), 0, Qt::CaseInsensitive); end >= 0;
         end = rest.indexOf(QLatin1String("<eor>"), 0, Qt::CaseInsensitive)) {
      pending << rest.left(end);
      record(ReadRecord(pending), index);
      pending.clear();
      rest = rest.mid(end + 5);
    }
    if (!rest.trimmed().isEmpty()) pending << rest;
  }
}

QList<ReportRecord> ReadReportRecords(const QStringList& lines) {
  QList<ReportRecord> records;
  ForEachReportRecord(lines,
                      [&records](const ReportRecord& record, qsizetype) { records << record; });
  return records;
}

std::optional<int> AnnouncedRecordCount(const QStringList& lines) {
  for (const QString& line : lines) {
    const qsizetype header_end = line.indexOf(QLatin1String("<eoh>"), 0, Qt::CaseInsensitive);
    const QString header = header_end < 0 ? line : line.left(header_end);
    std::optional<std::optional<int>> announced;
    ForEachAdifTag(header, [&](const AdifTag& tag) {
      if (announced || tag.IsMarker() || !tag.Is(u"APP_Qorv_NUMREC")) return;
      bool number = false;
      const int count = TrimControl(tag.Value(header).toString()).toInt(&number);
      announced = number && count >= 0 ? std::optional<int>(count) : std::nullopt;
    });
    if (announced) return *announced;
    if (header_end >= 0) return std::nullopt;
  }
  return std::nullopt;
}

QString RecordTime(const ReportRecord& record) {
  const QString digits = record.time_on.left(4);
  const QTime time = QTime::fromString(digits, QStringLiteral("HHmm"));
  return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}
