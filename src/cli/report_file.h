#ifndef QORVSYNC_CLI_REPORT_FILE_H_
#define QORVSYNC_CLI_REPORT_FILE_H_

#include <QStringList>

// What a file offered as a report holds, by its text lines.
enum class ReportFileKind {
  kRecords,    // at least one record end
  kNoRecords,  // text that is empty, blank or ADIF without a record
  kNotAdif,    // binary, or text without a single ADIF tag
};

ReportFileKind ExamineReportFile(const QStringList& lines);

#endif  // QORVSYNC_CLI_REPORT_FILE_H_
