#include "confirmations/unmatched_run_memory.h"

#include <QFile>
#include <QSaveFile>
#include <functional>

#include "adif/adif_reader.h"
#include "confirmations/text_file_lines.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "platform/whole_file.h"

namespace {

// The first line of a state file: the mark, the kind, the UTC time, the
// source and the number of records it held, TAB-separated; the lines of the
// run's unmatched records follow.
constexpr char kMark[] = "qorvsync unmatched run";

QString StateFile(const QString& state_folder, bool eqsl) {
  return state_folder +
         (eqsl ? QStringLiteral("UnmatchedEqslRun.txt") : QStringLiteral("UnmatchedQorvRun.txt"));
}

QString KindKey(UnmatchedRunKind kind) {
  switch (kind) {
    case UnmatchedRunKind::kQorvDownload:
      return QStringLiteral("qorv-download");
    case UnmatchedRunKind::kQorvImport:
      return QStringLiteral("qorv-import");
    case UnmatchedRunKind::kEqslDownload:
      return QStringLiteral("eqsl-download");
  }
  return {};
}

std::optional<UnmatchedRunKind> KindOf(const QString& key) {
  for (const UnmatchedRunKind kind :
       {UnmatchedRunKind::kQorvDownload, UnmatchedRunKind::kQorvImport,
        UnmatchedRunKind::kEqslDownload}) {
    if (KindKey(kind) == key) return kind;
  }
  return std::nullopt;
}

using LineSource = std::function<void(const std::function<void(const QString&)>&)>;

constexpr QLatin1StringView kHeaderEnd("<eoh>");
constexpr QLatin1StringView kRecordEnd("<eor>");

RecordLayout LayoutOf(const LineSource& each_line) {
  RecordLayout layout;
  each_line([&](const QString& line) { layout.Take(line); });
  return layout;
}

// Passes on the records that hold a line at which the run put a record on
// its error list: from the line after the record end before up to its own
// record end (a line's text after its last record end begins the next one).
// A noted line whose text goes on after a record end marks both records: a
// record too many is matched again by "unmatched", a record too few would be
// lost. Text before the header end and after the last record end holds no
// record and is left out.
void KeepUnmatchedRecords(const LineSource& each_line, const QList<qsizetype>& noted,
                          qsizetype header_line, const std::function<void(const QString&)>& keep) {
  QStringList record;
  bool marked = false;
  auto next = noted.cbegin();
  qsizetype number = 0;
  each_line([&](const QString& line) {
    ++number;
    bool noted_here = false;
    for (; next != noted.cend() && *next <= number; ++next) {
      if (*next == number) noted_here = true;
    }
    if (number < header_line) return;
    if (number == header_line) record.clear();
    record << line;
    marked = marked || noted_here;
    if (!HasAdifRecordEnd(line)) return;
    const qsizetype cut = line.lastIndexOf(kRecordEnd, -1, Qt::CaseInsensitive) + kRecordEnd.size();
    const QString tail = line.mid(cut);
    if (marked) {
      record.last() = line.left(cut);
      for (const QString& kept : record) keep(kept);
    }
    record.clear();
    marked = false;
    if (!tail.trimmed().isEmpty()) {
      record << tail;
      marked = noted_here;
    }
  });
}

// Writes the state file: the header line, then the unmatched records' lines.
void WriteRun(const QString& state_folder, UnmatchedRunKind kind, const QString& source,
              const UnmatchedOfRun& run, const RecordLayout& layout, const LineSource& each_line) {
  if (run.error_list.isEmpty()) return;
  // To the millisecond: two commands run one after the other may finish in
  // the same second, and the later one is the run "unmatched" shows.
  const QString header = QStringList{QLatin1String(kMark), KindKey(kind),
                                     ProgramClock().NowUtc().toString(Qt::ISODateWithMs), source,
                                     QString::number(layout.records)}
                             .join(u'\t');
  // UTF-8 holds every character a report may bring; the whole file is
  // renamed into place, so a reader never sees half of it.
  QSaveFile file(StateFile(state_folder, kind == UnmatchedRunKind::kEqslDownload));
  if (!file.open(QIODevice::WriteOnly)) {
    throw AppError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(file.fileName(), file.errorString()));
  }
  file.write(EncodeText(header + QStringLiteral("\r\n"), TextEncoding::kUtf8));
  KeepUnmatchedRecords(each_line, run.lines, layout.header_line, [&file](const QString& line) {
    file.write(EncodeText(line + QStringLiteral("\r\n"), TextEncoding::kUtf8NoMark));
  });
  if (!CommitWholeFile(file)) {
    throw AppError(
        QStringLiteral("Cannot write file \"%1\". %2").arg(file.fileName(), file.errorString()));
  }
}

}  // namespace

QString UnmatchedRunKindName(UnmatchedRunKind kind) {
  switch (kind) {
    case UnmatchedRunKind::kQorvDownload:
      return QStringLiteral("Qorv download");
    case UnmatchedRunKind::kQorvImport:
      return QStringLiteral("Qorv import");
    case UnmatchedRunKind::kEqslDownload:
      return QStringLiteral("eQSL download");
  }
  return {};
}

void RememberUnmatchedRun(const QString& state_folder, UnmatchedRunKind kind, const QString& source,
                          const QStringList& lines, const UnmatchedOfRun& run) {
  const LineSource each_line = [&lines](const std::function<void(const QString&)>& take) {
    for (const QString& line : lines) take(line);
  };
  WriteRun(state_folder, kind, source, run, LayoutOf(each_line), each_line);
}

void RememberUnmatchedRunOfFile(const QString& state_folder, UnmatchedRunKind kind,
                                const QString& source, const UnmatchedOfRun& run) {
  if (run.error_list.isEmpty()) return;
  const TextFileLines lines(source);
  const LineSource each_line = [&lines](const std::function<void(const QString&)>& take) {
    lines.ForEach(take);
  };
  WriteRun(state_folder, kind, source, run, LayoutOf(each_line), each_line);
}

void RememberUnmatchedRunOfArrivedFile(const QString& state_folder, UnmatchedRunKind kind,
                                       const QString& source, const UnmatchedOfRun& run,
                                       const RecordLayout& layout, TextEncoding encoding) {
  if (run.error_list.isEmpty()) return;
  const TextFileLines lines(source, encoding);
  WriteRun(state_folder, kind, source, run, layout,
           [&lines](const std::function<void(const QString&)>& take) { lines.ForEach(take); });
}

void RecordLayout::Take(const QString& line) {
  ++lines_;
  QStringView rest(line);
  const qsizetype header_end = line.lastIndexOf(kHeaderEnd, -1, Qt::CaseInsensitive);
  if (header_end >= 0) {
    header_line = lines_;
    records = 0;
    rest = rest.sliced(header_end + kHeaderEnd.size());
  }
  for (qsizetype end = rest.indexOf(kRecordEnd, 0, Qt::CaseInsensitive); end >= 0;
       end = rest.indexOf(kRecordEnd, end + kRecordEnd.size(), Qt::CaseInsensitive)) {
    ++records;
  }
}

std::optional<RememberedRun> RecallUnmatchedRun(const QString& state_folder, bool eqsl) {
  const QString path = StateFile(state_folder, eqsl);
  if (!QFile::exists(path)) return std::nullopt;
  QStringList lines = ReadTextFileLines(path);
  const QStringList header = lines.value(0).split(u'\t');
  const std::optional<UnmatchedRunKind> kind = KindOf(header.value(1));
  // A file kept before the records count was added has every line of its run.
  bool counted = false;
  const int records = header.value(4).toInt(&counted);
  if ((header.size() != 4 && (header.size() != 5 || !counted)) ||
      header[0] != QLatin1String(kMark) || !kind) {
    return std::nullopt;
  }
  RememberedRun run;
  run.kind = *kind;
  run.finished_utc = QDateTime::fromString(header[2], Qt::ISODate);
  run.source = header[3];
  if (counted) run.records_read = records;
  lines.removeFirst();
  run.lines = std::move(lines);
  return run;
}

std::optional<RememberedRun> RecallLatestUnmatchedRun(const QString& state_folder) {
  std::optional<RememberedRun> qorv = RecallUnmatchedRun(state_folder, false);
  std::optional<RememberedRun> eqsl = RecallUnmatchedRun(state_folder, true);
  if (!qorv) return eqsl;
  if (!eqsl) return qorv;
  return eqsl->finished_utc > qorv->finished_utc ? eqsl : qorv;
}
