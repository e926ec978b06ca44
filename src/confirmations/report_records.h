#ifndef QORVSYNC_CONFIRMATIONS_REPORT_RECORDS_H_
#define QORVSYNC_CONFIRMATIONS_REPORT_RECORDS_H_

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// One record of a report or inbox file, with the fields a match looks at.
struct ReportRecord {
  QStringList lines;  // the record's lines, its end marker left out
  QString call;
  QString band;        // as the record names it ("20M")
  QString mode;        // SUBMODE when the record has one, else MODE, as a run takes it
  QString mode_field;  // MODE and SUBMODE as the record holds them
  QString submode;
  QString rst_rcvd;
  QDate qso_date;
  QString time_on;  // "hhmm" as read
};

// The records after the header (up to "<eoh>", when there is one), each ended
// by "<eor>" (any letter case); a field is found by its whole tag name.
QList<ReportRecord> ReadReportRecords(const QStringList& lines);

// The same records one at a time, each with the index of the line that ends
// it, so that a big report need not be held as records all at once.
void ForEachReportRecord(const QStringList& lines,
                         const std::function<void(const ReportRecord&, qsizetype)>& record);

// The number of records the header announces (APP_Qorv_NUMREC, before
// "<eoh>"), or nothing when the header names none or it is not a number.
std::optional<int> AnnouncedRecordCount(const QStringList& lines);

// "hh:mm" of a TIME_ON value, empty when it is not one.
QString RecordTime(const ReportRecord& record);

#endif  // QORVSYNC_CONFIRMATIONS_REPORT_RECORDS_H_
