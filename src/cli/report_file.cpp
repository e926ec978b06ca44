#include "cli/report_file.h"

#include <QRegularExpression>
#include <optional>

#include "adif/adif_reader.h"

namespace {

// Control characters do not occur in a text file; a NUL or an escape means
// a program or an image, whatever code page it was read in.
bool IsBinary(const QString& line) {
  for (const QChar c : line) {
    const char16_t u = c.unicode();
    if (u < 0x20 && u != u'\t' && u != u'\f' && u != u'\r' && u != 0x1A) return true;
  }
  return false;
}

// A field tag "<NAME:LENGTH" or the header's end "<EOH>", letters in any case.
bool HasAnyAdifTag(const QString& line) {
  static const QRegularExpression tag(QStringLiteral(R"(<(?:[A-Za-z_][\w]*:\d|eoh>))"),
                                      QRegularExpression::CaseInsensitiveOption);
  return line.contains(tag);
}

}  // namespace

ReportFileKind ExamineReportFile(const TextFileLines& file) {
  std::optional<ReportFileKind> found;
  bool tagged = false;
  bool blank = true;
  file.ForEach([&](const QString& line) {
    if (found) return;
    if (IsBinary(line)) {
      found = ReportFileKind::kNotAdif;
    } else if (HasAdifRecordEnd(line)) {
      found = ReportFileKind::kRecords;
    }
    tagged = tagged || HasAnyAdifTag(line);
    blank = blank && line.trimmed().isEmpty();
  });
  if (found) return *found;
  return tagged || blank ? ReportFileKind::kNoRecords : ReportFileKind::kNotAdif;
}
