#include "cli/unmatched_command.h"

#include <QJsonArray>

#include "adif/band_tables.h"
#include "cli/exit_status.h"
#include "cli/log_time.h"
#include "cli/operation_commands.h"
#include "cli/unmatched_records.h"
#include "confirmations/confirmation_run.h"
#include "confirmations/unmatched_run_memory.h"
#include "eqsl/ignore_list.h"
#include "logdb/logged_qsos.h"
#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

const QString kEqslMark = QStringLiteral("QSLReceQSLcc");

// What is explained: FILE when given, else the most recent run that left
// records matching nothing (the eQSL one with --eqsl).
struct Source {
  QString file;
  QStringList lines;
  bool eqsl = false;
  std::optional<RememberedRun> run;
};

std::optional<Source> SourceOf(const CliRequest& request, const Configuration& config) {
  Source source;
  source.eqsl = request.eqsl;
  if (!request.file.isEmpty()) {
    source.file = request.file;
    source.lines = ReadTextFileLines(request.file);
    return source;
  }
  const QString folder = config.StateFolder;
  source.run = request.eqsl ? RecallUnmatchedRun(folder, true) : RecallLatestUnmatchedRun(folder);
  if (!source.run) return std::nullopt;
  source.eqsl = source.run->kind == UnmatchedRunKind::kEqslDownload;
  source.file = source.run->source;
  source.lines = std::move(source.run->lines);
  return source;
}

// Writes the chosen QSO's confirmation from the record, to exactly that row;
// false when the row was confirmed before (nothing written). `tally` gets
// what the confirmation run counted.
bool ConfirmRow(HeadlessSession& session, ConsoleUi& ui, const ReportRecord& record,
                const NearQso& qso, bool eqsl, MatchTally* tally) {
  LogDatabase& database = session.Database();
  const std::optional<FoundQso> row = ReadQsoRow(database, qso.table, qso.rowid);
  if (!row) {
    throw AppError(QStringLiteral("%1 is no longer in the log").arg(qso.Id()));
  }
  LogDatabase::WriteBatch batch(database);
  bool written = false;
  if (eqsl) {
    written = !row->Truth(kEqslMark);
    if (written) database.ChangeRow(qso.table, qso.rowid, {{kEqslMark, true}});
  } else {
    const StoredOptions& options = session.Options();
    ConfirmationRun run(ui, database, session.Config().LogSet,
                        [&options] { return options.confirmation; });
    written = run.ConfirmRecord(record.lines, qso.table, *row);
    *tally = run.Tally();
  }
  batch.Commit();
  return written;
}

QJsonObject QsoJson(const NearQso& qso) {
  return {{QStringLiteral("id"), qso.Id()},
          {QStringLiteral("call"), qso.call},
          {QStringLiteral("date"), qso.date.toString(Qt::ISODate)},
          {QStringLiteral("time"), LogTimeText(qso.time)},
          {QStringLiteral("band"), DigiBandToBand(QString::number(qso.band, 'g', 10))},
          {QStringLiteral("mode"), qso.mode},
          {QStringLiteral("differences"), QJsonArray::fromStringList(qso.differences)}};
}

QString NotListed(const QString& id) {
  return QStringLiteral("%1 is not one of the QSOs listed").arg(id);
}

QString RunDescription(const RememberedRun& run) {
  return QStringLiteral("%1 of %2 UTC")
      .arg(UnmatchedRunKindName(run.kind),
           run.finished_utc.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
}

}  // namespace

int UnmatchedCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome) {
  const Configuration& config = session.Config();
  const std::optional<Source> source = SourceOf(request, config);
  if (!source) {
    outcome.lines << (request.eqsl ? QStringLiteral("No eQSL download so far left records that "
                                                    "matched nothing.")
                                   : QStringLiteral("No run so far left records that matched "
                                                    "nothing."));
    outcome.records = 0;
    outcome.unmatched = 0;
    if (request.confirm_id.isEmpty()) return kExitDone;
    ui.ShowMessage(MessageKind::kError, NotListed(request.confirm_id), QString());
    outcome.TakeRun(ui);
    return kExitUsage;
  }
  outcome.details[QStringLiteral("source")] = source->file;
  if (source->run) {
    outcome.details[QStringLiteral("run")] = QJsonObject{
        {QStringLiteral("kind"), UnmatchedRunKindName(source->run->kind)},
        {QStringLiteral("finished_utc"), source->run->finished_utc.toString(Qt::ISODate)}};
    outcome.lines << QStringLiteral("Records that matched nothing in the %1 (%2):")
                         .arg(RunDescription(*source->run), source->file);
  }
  const QStringList tables = session.Database().LogSetTables(config.LogSet);
  // The eQSL run leaves the calls of the ignore list out of its error list.
  const QStringList ignore_list =
      source->eqsl ? LoadIgnoreList(config.ProgramFolder) : QStringList();
  ui.SetCaption(QStringLiteral("Matching the records of ") + source->file);
  int records = 0;
  const QList<UnmatchedRecord> unmatched = FindUnmatchedRecords(
      session.Database(), tables, source->lines, source->eqsl, ignore_list, ui, &records);
  // A remembered run keeps only its unmatched records, and how many it read.
  if (source->run && source->run->records_read) records = *source->run->records_read;
  ui.SetCaption(ui.LogName());

  QJsonArray listed;
  const NearQso* chosen = nullptr;
  const UnmatchedRecord* chosen_record = nullptr;
  for (const UnmatchedRecord& item : unmatched) {
    const RecordKey& key = item.key;
    outcome.lines << QStringLiteral("%1 %2 %3 %4 %5: %6")
                         .arg(key.date.toString(Qt::ISODate), key.time, key.band_name, key.mode,
                              key.call,
                              item.nearest.isEmpty() ? QStringLiteral("no QSO near it")
                                                     : QStringLiteral("nearest QSOs:"));
    QJsonArray near;
    for (const NearQso& qso : item.nearest) {
      outcome.lines << QStringLiteral("  %1  %2 %3 %4 %5 %6: %7")
                           .arg(qso.Id(), qso.date.toString(Qt::ISODate), LogTimeText(qso.time),
                                DigiBandToBand(QString::number(qso.band, 'g', 10)), qso.mode,
                                qso.call, qso.differences.join(QStringLiteral("; ")));
      near.append(QsoJson(qso));
      if (chosen == nullptr && !request.confirm_id.isEmpty() &&
          qso.Id().compare(request.confirm_id, Qt::CaseInsensitive) == 0) {
        chosen = &qso;
        chosen_record = &item;
      }
    }
    listed.append(QJsonObject{{QStringLiteral("call"), key.call},
                              {QStringLiteral("date"), key.date.toString(Qt::ISODate)},
                              {QStringLiteral("time"), key.time},
                              {QStringLiteral("band"), key.band_name},
                              {QStringLiteral("mode"), key.mode},
                              {QStringLiteral("nearest"), near}});
  }
  outcome.details[QStringLiteral("unmatched_records")] = listed;
  outcome.records = records;
  if (request.confirm_id.isEmpty()) {
    outcome.TakeRun(ui);
    outcome.unmatched = static_cast<int>(unmatched.size());
    return kExitDone;
  }
  if (chosen == nullptr) {
    ui.ShowMessage(MessageKind::kError, NotListed(request.confirm_id), QString());
    outcome.TakeRun(ui);
    outcome.unmatched = static_cast<int>(unmatched.size());
    return kExitUsage;
  }
  MatchTally tally;
  const bool written =
      ConfirmRow(session, ui, chosen_record->record, *chosen, source->eqsl, &tally);
  outcome.TakeTally(tally);
  outcome.TakeRun(ui);
  outcome.unmatched = static_cast<int>(unmatched.size());
  outcome
      .details[written ? QStringLiteral("confirmed_id") : QStringLiteral("confirmed_before_id")] =
      chosen->Id();
  if (written) {
    outcome.lines << QStringLiteral("%1 marked confirmed").arg(chosen->Id());
    ShowChangesInLogbook();
  } else {
    outcome.lines << QStringLiteral("%1 was confirmed before: nothing written").arg(chosen->Id());
  }
  return kExitDone;
}
