#ifndef QORVSYNC_CLI_REPORT_FILE_H_
#define QORVSYNC_CLI_REPORT_FILE_H_

#include "confirmations/text_file_lines.h"

// What a file offered as a report holds, by its text lines, read one at a
// time.
enum class ReportFileKind {
  kRecords,    // at least one record end
  kNoRecords,  // text that is empty, blank or ADIF without a record
  kNotAdif,    // binary, or text without a single ADIF tag
};

ReportFileKind ExamineReportFile(const TextFileLines& file);

#endif  // QORVSYNC_CLI_REPORT_FILE_H_
