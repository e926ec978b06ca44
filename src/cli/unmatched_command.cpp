#include "cli/unmatched_command.h"

#include <QJsonArray>

#include "adif/band_tables.h"
#include "cli/exit_status.h"
#include "cli/nearest_qsos.h"
#include "cli/operation_commands.h"
#include "cli/report_records.h"
#include "confirmations/confirmation_run.h"
#include "confirmations/pending_qsl.h"
#include "eqsl/ignore_list.h"
#include "eqsl/inbox_run.h"
#include "platform/app_error.h"
#include "platform/conversions.h"
#include "platform/text_codec.h"

namespace {

const QString kEqslMark = QStringLiteral("QSLReceQSLcc");

QString SourceFile(const CliRequest& request, const Configuration& config) {
  if (!request.file.isEmpty()) return request.file;
  return config.InstallPath + (request.eqsl ? QStringLiteral("Download/updateeQSLcc.adi")
                                            : QStringLiteral("Download/qorvreport.adi"));
}

// The record as the run that read it looks it up: an eQSL record by the
// eQSL run's mode rules and with its call in upper case.
RecordKey KeyOf(const ReportRecord& record, bool eqsl) {
  RecordKey key;
  key.call = eqsl ? AsciiUpper(record.call) : record.call;
  key.date = record.qso_date;
  key.band_name = record.band;
  double band = 0;
  if (TryStrToFloat(BandToDigiBand(record.band), &band)) key.band = band;
  key.mode = eqsl ? EqslRunMode(AsciiUpper(record.mode_field), record.submode, record.rst_rcvd)
               : record.mode;
  key.time = RecordTime(record);
  return key;
}

// The lookup a run makes for the record: Qorv compares the call whole, eQSL
// as the start of the logged call.
bool Matches(LogDatabase& database, const QStringList& tables, const RecordKey& key, bool eqsl) {
  if (!key.date.isValid() || key.time.isEmpty() || key.band == 0) return false;
  PendingQslRecord window;
  SetTimeWindow(window, key.time.left(2) + key.time.mid(3, 2));
  const QsoLookup lookup{
      key.date,        key.band,
      key.call,        eqsl ? QsoLookup::CallMatch::kPrefix : QsoLookup::CallMatch::kEqual,
      window.TimeFrom, window.TimeTo,
      key.mode};
  for (const QString& table : tables) {
    if (database.FindQso(table, lookup)) return true;
  }
  return false;
}

// Marks the QSO confirmed by the record as a run's match would: the record
// is read into the run's buffer, its QSO fields set to the chosen QSO's, and
// the run's own match confirms (and enriches) it.
void ConfirmByRecord(HeadlessSession& session, ConsoleUi& ui, const ReportRecord& record,
                     const NearQso& qso, bool eqsl) {
  LogDatabase& database = session.Database();
  if (eqsl) {
    database.ChangeRow(qso.table, qso.rowid, {{kEqslMark, true}});
    return;
  }
  const StoredOptions& options = session.Options();
  ConfirmationRun run(ui, database, session.Config().LogSet,
                      [&options] { return options.confirmation; });
  for (const QString& line : record.lines) run.ProcessReportLine(line);
  PendingQsl.Call = qso.call;
  PendingQsl.Band = QString::number(qso.band, 'g', 10);
  PendingQsl.Mode = qso.mode;
  PendingQsl.QsoDate = qso.date;
  PendingQsl.HasQsoDate = true;
  PendingQsl.TimeFrom = qso.time;
  PendingQsl.TimeTo = qso.time;
  PendingQsl.HasTimeWindow = true;
  LogDatabase::WriteBatch batch(database);
  run.MatchConfirmation();
  batch.Commit();
  PendingQsl.Clear();
}

QJsonObject QsoJson(const NearQso& qso) {
  return {{QStringLiteral("id"), qso.Id()},
          {QStringLiteral("call"), qso.call},
          {QStringLiteral("date"), qso.date.toString(Qt::ISODate)},
          {QStringLiteral("time"), qso.time},
          {QStringLiteral("band"), DigiBandToBand(QString::number(qso.band, 'g', 10))},
          {QStringLiteral("mode"), qso.mode},
          {QStringLiteral("differences"), QJsonArray::fromStringList(qso.differences)}};
}

}  // namespace

int UnmatchedCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome) {
  const Configuration& config = session.Config();
  const QString source = SourceFile(request, config);
  outcome.details[QStringLiteral("source")] = source;
  const QList<ReportRecord> records = ReadReportRecords(ReadTextFileLines(source));
  const QStringList tables = session.Database().LogSetTables(config.LogSet);
  // The eQSL run leaves the calls of the ignore list out of its error list.
  const QStringList ignore_list =
      request.eqsl ? LoadIgnoreList(config.ProgramFolder) : QStringList();
  QJsonArray listed;
  int unmatched = 0;
  bool confirmed = false;
  for (const ReportRecord& record : records) {
    const RecordKey key = KeyOf(record, request.eqsl);
    if (Matches(session.Database(), tables, key, request.eqsl)) continue;
    if (request.eqsl && IsIgnored(ignore_list, key.call)) continue;
    ++unmatched;
    const QList<NearQso> nearest = NearestQsos(session.Database(), tables, key);
    outcome.lines << QStringLiteral("%1 %2 %3 %4 %5: %6")
                         .arg(key.date.toString(Qt::ISODate), key.time, key.band_name, key.mode,
                              key.call,
                              nearest.isEmpty() ? QStringLiteral("no QSO near it")
                                                : QStringLiteral("nearest QSOs:"));
    QJsonArray near;
    for (const NearQso& qso : nearest) {
      outcome.lines << QStringLiteral("  %1  %2 %3 %4 %5 %6: %7")
                           .arg(qso.Id(), qso.date.toString(Qt::ISODate), qso.time.left(5),
                                DigiBandToBand(QString::number(qso.band, 'g', 10)), qso.mode,
                                qso.call, qso.differences.join(QStringLiteral("; ")));
      near.append(QsoJson(qso));
      if (!request.confirm_id.isEmpty() && !confirmed &&
          qso.Id().compare(request.confirm_id, Qt::CaseInsensitive) == 0) {
        ConfirmByRecord(session, ui, record, qso, request.eqsl);
        confirmed = true;
        outcome.lines << QStringLiteral("  %1 marked confirmed").arg(qso.Id());
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
  outcome.records = static_cast<int>(records.size());
  outcome.lines.prepend(
      QStringLiteral("Records: %1, matching no QSO: %2").arg(records.size()).arg(unmatched));
  outcome.TakeRun(ui);
  outcome.unmatched = unmatched;
  if (request.confirm_id.isEmpty()) return kExitDone;
  outcome.details[QStringLiteral("confirmed_id")] = confirmed ? request.confirm_id : QString();
  if (!confirmed) {
    ui.ShowMessage(MessageKind::kError,
                   QStringLiteral("%1 is not one of the QSOs listed").arg(request.confirm_id),
                   QString());
    outcome.messages << QStringLiteral("%1 is not one of the QSOs listed").arg(request.confirm_id);
    return kExitUsage;
  }
  ShowChangesInLogbook();
  return kExitDone;
}
