#include "confirmations/unmatched_run_memory.h"

#include <QFile>
#include <QSaveFile>
#include <functional>

#include "confirmations/text_file_lines.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "platform/whole_file.h"

namespace {

// The first line of a state file: the mark, the kind, the UTC time and the
// source, TAB-separated; the run's lines follow.
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

// Writes the state file: the header line, then the run's lines.
void WriteRun(const QString& state_folder, UnmatchedRunKind kind, const QString& source,
              const QStringList& error_list,
              const std::function<void(const std::function<void(const QString&)>&)>& each_line) {
  if (error_list.isEmpty()) return;
  const QString header = QStringList{QLatin1String(kMark), KindKey(kind),
                                     ProgramClock().NowUtc().toString(Qt::ISODate), source}
                             .join(u'\t');
  // UTF-8 holds every character a report may bring; the whole file is
  // renamed into place, so a reader never sees half of it.
  QSaveFile file(StateFile(state_folder, kind == UnmatchedRunKind::kEqslDownload));
  if (!file.open(QIODevice::WriteOnly)) {
    throw AppError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(file.fileName(), file.errorString()));
  }
  file.write(EncodeText(header + QStringLiteral("\r\n"), TextEncoding::kUtf8));
  each_line([&file](const QString& line) {
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
                          const QStringList& lines, const QStringList& error_list) {
  WriteRun(state_folder, kind, source, error_list,
           [&lines](const std::function<void(const QString&)>& take) {
             for (const QString& line : lines) take(line);
           });
}

void RememberUnmatchedRunOfFile(const QString& state_folder, UnmatchedRunKind kind,
                                const QString& source, const QStringList& error_list) {
  if (error_list.isEmpty()) return;
  const TextFileLines lines(source);
  WriteRun(state_folder, kind, source, error_list,
           [&lines](const std::function<void(const QString&)>& take) { lines.ForEach(take); });
}

std::optional<RememberedRun> RecallUnmatchedRun(const QString& state_folder, bool eqsl) {
  const QString path = StateFile(state_folder, eqsl);
  if (!QFile::exists(path)) return std::nullopt;
  QStringList lines = ReadTextFileLines(path);
  const QStringList header = lines.value(0).split(u'\t');
  const std::optional<UnmatchedRunKind> kind = KindOf(header.value(1));
  if (header.size() != 4 || header[0] != QLatin1String(kMark) || !kind) return std::nullopt;
  RememberedRun run;
  run.kind = *kind;
  run.finished_utc = QDateTime::fromString(header[2], Qt::ISODate);
  run.source = header[3];
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
