#include "eqsl/inbox_run.h"

#include "adif/adif_reader.h"
#include "adif/band_tables.h"
#include "confirmations/pending_qsl.h"
#include "eqsl/ignore_list.h"
#include "platform/conversions.h"
#include "platform/event_pump.h"

namespace {

const QString kEqslMark = QStringLiteral("QSLReceQSLcc");

bool Has(const QString& line, const char* marker) {
  return line.contains(QLatin1String(marker), Qt::CaseSensitive);
}

}  // namespace

EqslInboxRun::EqslInboxRun(LogDatabase& database, const QString& log_set, QStringList ignore_list,
                           OperationUi& ui)
    : database_(database),
      tables_(database.LogSetTables(log_set)),
      ignore_list_(std::move(ignore_list)),
      ui_(ui) {}

void EqslInboxRun::RunInboxLines(const QStringList& lines) {
  PendingQsl.Clear();
  EventPump pump(ui_);
  LogDatabase::WriteBatch batch(database_);
  const qsizetype last = lines.size() - 1;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    ProcessInboxLine(lines[i]);
    database_.MaybeCommit();
    pump.SetProgress(last == 0 ? 100 : static_cast<int>(i * 100 / last));
    pump.Tick();
  }
  batch.Commit();
}

void EqslInboxRun::ProcessInboxLine(const QString& line) {
  PendingQslRecord& qsl = PendingQsl;
  CurrentLine = line;
  if (Has(line, "<CALL")) {
    qsl.Call = GetAdifValueTyped(u"CALL");
    ++qso_count_;
  }
  if (Has(line, "<BAND")) qsl.Band = BandToDigiBand(GetAdifValueTyped(u"BAND")).trimmed();
  if (Has(line, "<RST_RCVD")) qsl.RstRcvd = GetAdifValue(u"RST_RCVD");
  if (Has(line, "<SUBMODE")) qsl.SubMode = GetAdifValue(u"SUBMODE");
  if (Has(line, "<MODE")) {
    qsl.Mode = GetAdifValueTyped(u"MODE");
    ApplyModeRules(line);
  }
  if (Has(line, "<QSO_DATE")) {
    qsl.QsoDateText = GetAdifValueTyped(u"QSO_DATE");
    qsl.QsoDate = DateFromAdif(qsl.QsoDateText);
    qsl.HasQsoDate = true;
  }
  if (Has(line, "<TIME_ON")) SetTimeWindow(qsl, GetAdifValueTyped(u"TIME_ON"));
  if (!qsl.Call.isEmpty() && !qsl.Band.isEmpty() && !qsl.Mode.isEmpty() && !qsl.TimeOn.isEmpty()) {
    MatchEqslConfirmation();
    // The whole record ends here, its date and time window included, so the
    // next record is never matched with this one's values.
    qsl.Clear();
  }
}

void EqslInboxRun::ApplyModeRules(const QString& line) {
  PendingQslRecord& qsl = PendingQsl;
  if (qsl.Mode == u"PSK" || qsl.Mode == u"MFSK") {
    if (Has(line, "SUBMODE")) {
      qsl.Mode = GetAdifValueTyped(u"SUBMODE");
    } else if (qsl.Mode == u"MFSK") {
      qsl.Mode = QStringLiteral("FT4");
    }
  }
  // eQSL files FT4 as MFSK; its signal reports are dB values ("-12", "+03",
  // "57" as two digits), where MFSK16 reports read like "599".
  if (qsl.SubMode.contains(QLatin1String("MFSK")) &&
      (qsl.RstRcvd.size() == 2 || qsl.RstRcvd.contains(u'-') || qsl.RstRcvd.contains(u'+'))) {
    qsl.Mode = QStringLiteral("FT4");
  }
  if (qsl.Mode == u"CONTESTI") qsl.Mode = QStringLiteral("CONTEST");
}

void EqslInboxRun::MatchEqslConfirmation() {
  const PendingQslRecord& qsl = PendingQsl;
  bool updated = false;
  bool already_marked = false;
  // A record without QSO_DATE has no QSO to look for: it is listed as
  // unmatched instead of being matched against an earlier record's date.
  if (qsl.HasQsoDate) {
    QsoLookup lookup;
    lookup.date = qsl.QsoDate;
    lookup.band = StrToFloat(qsl.Band);
    lookup.call = qsl.Call;
    lookup.call_match = QsoLookup::CallMatch::kPrefix;
    lookup.time_from = qsl.TimeFrom;
    lookup.time_to = qsl.TimeTo;
    lookup.mode = qsl.Mode;
    for (const QString& table : tables_) {
      const std::optional<FoundQso> found = database_.FindQso(table, lookup, {kEqslMark});
      if (!found) continue;
      if (found->Truth(kEqslMark)) {
        already_marked = true;
        ui_.NoteMatch(MatchOutcome::kAlreadyConfirmed, table);
      } else {
        database_.ChangeRow(table, found->rowid, {{kEqslMark, true}});
        updated = true;
        ui_.NoteMatch(MatchOutcome::kConfirmed, table);
      }
    }
  }
  if (!updated && !already_marked && !IsIgnored(ignore_list_, qsl.Call)) {
    error_list_ << QStringLiteral("Error") << DetailLine();
    ui_.NoteMatch(MatchOutcome::kUnmatched, QString());
  }
}

QString EqslInboxRun::DetailLine() const {
  const PendingQslRecord& qsl = PendingQsl;
  const QString date = qsl.HasQsoDate ? DateToStr(qsl.QsoDate) : QString();
  return QStringList{date, qsl.TimeOn, qsl.Band, qsl.Mode, qsl.Call, qsl.Mode, QString()}.join(
      QLatin1Char(' '));
}
