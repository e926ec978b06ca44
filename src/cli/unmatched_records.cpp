#include "cli/unmatched_records.h"

#include "adif/band_tables.h"
#include "confirmations/pending_qsl.h"
#include "eqsl/ignore_list.h"
#include "eqsl/inbox_run.h"
#include "platform/conversions.h"

namespace {

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

// The look-up the run that read the record makes for it.
bool Matches(LogDatabase& database, const QStringList& tables, const RecordKey& key, bool eqsl) {
  if (!key.date.isValid() || key.time.isEmpty() || key.band == 0) return false;
  PendingQslRecord record;
  record.QsoDate = key.date;
  record.Call = key.call;
  record.Mode = key.mode;
  SetTimeWindow(record, key.time.left(2) + key.time.mid(3, 2));
  const QsoLookup lookup =
      RecordLookup(record, key.band, eqsl ? MatchRules::kEqsl : MatchRules::kQorv);
  // Only the first column is read: it decides "found".
  static const QStringList kFirstColumnOnly = {QStringLiteral("ID")};
  for (const QString& table : tables) {
    if (database.FindQso(table, lookup, kFirstColumnOnly)) return true;
  }
  return false;
}

}  // namespace

QList<UnmatchedRecord> FindUnmatchedRecords(LogDatabase& database, const QStringList& tables,
                                            const QStringList& lines, bool eqsl,
                                            const QStringList& ignore_list, OperationUi& ui,
                                            int* records) {
  const LogReadSnapshot snapshot(database);
  NearQsoLookups lookups(database);
  QList<UnmatchedRecord> unmatched;
  const qsizetype last = qMax<qsizetype>(lines.size() - 1, 1);
  *records = 0;
  ui.SetProgress(0);
  ForEachReportRecord(lines, [&](const ReportRecord& record, qsizetype line) {
    ++*records;
    ui.SetProgress(static_cast<int>(line * 100 / last));
    const RecordKey key = KeyOf(record, eqsl);
    if (Matches(database, tables, key, eqsl)) return;
    if (eqsl && IsIgnored(ignore_list, key.call)) return;
    unmatched.append({record, key, NearestQsos(lookups, tables, key)});
  });
  ui.SetProgress(100);
  return unmatched;
}
