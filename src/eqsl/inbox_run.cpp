#include "eqsl/inbox_run.h"

#include "adif/adif_reader.h"
#include "adif/band_tables.h"
#include "confirmations/confirmation_outcome.h"
#include "confirmations/pending_qsl.h"
#include "confirmations/staged_writing.h"
#include "eqsl/ignore_list.h"
#include "platform/conversions.h"
#include "platform/event_pump.h"

namespace {

const QString kEqslMark = QStringLiteral("QSLReceQSLcc");

}  // namespace

EqslInboxRun::EqslInboxRun(LogDatabase& database, const QString& log_set, QStringList ignore_list,
                           OperationUi& ui)
    : database_(database),
      tables_(database.LogSetTables(log_set)),
      ignore_list_(std::move(ignore_list)),
      ui_(ui) {}

void EqslInboxRun::RunInboxLines(const QStringList& lines) {
  PendingQsl.Clear();
  BeginMatching(CountLinesWithAdifTag(lines, u"CALL"));
  KeepTallyOnError(tally_, [&] {
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
  });
}

void EqslInboxRun::RunInboxFile(const TextFileLines& file) {
  PendingQsl.Clear();
  const LineTally tally = CountLinesAndRecords(file);
  const qsizetype n = tally.lines;
  BeginMatching(tally.records);
  KeepTallyOnError(tally_, [&] {
    EventPump pump(ui_);
    LogDatabase::WriteBatch batch(database_);
    const qsizetype last = n - 1;
    qsizetype i = 0;
    file.ForEach([&](const QString& line) {
      ProcessInboxLine(line);
      database_.MaybeCommit();
      pump.SetProgress(last == 0 ? 100 : static_cast<int>(i * 100 / last));
      pump.Tick();
      ++i;
    });
    batch.Commit();
  });
}

void EqslInboxRun::TakeArrivingLine(const QString& line) {
  MatchArrivingLine(arrival_error_, tally_, [&] {
    ProcessInboxLine(line);
    database_.MaybeCommit();
  });
}

void EqslInboxRun::WriteArrived(StagedChanges& staged, qsizetype records) {
  BeginMatching(records);
  tally_ = WriteStagedWithProgress(ui_, database_, tally_, staged);
  if (arrival_error_) std::rethrow_exception(arrival_error_);
}

void EqslInboxRun::BeginMatching(qsizetype records) {
  tally_.began = true;
  ui_.BeginMatching(records);
}

void EqslInboxRun::ProcessInboxLine(const QString& line) {
  PendingQslRecord& qsl = PendingQsl;
  CurrentLine = line;
  ++lines_read_;
  if (HasAdifTag(line, u"CALL")) {
    qsl.Call = GetAdifValueTyped(CurrentLine, u"CALL");
    ++qso_count_;
  }
  if (HasAdifTag(line, u"BAND")) {
    qsl.BandText = GetAdifValueTyped(CurrentLine, u"BAND");
    qsl.Band = BandToDigiBand(qsl.BandText).trimmed();
  }
  if (HasAdifTag(line, u"RST_RCVD")) qsl.RstRcvd = GetAdifValue(CurrentLine, u"RST_RCVD");
  if (HasAdifTag(line, u"SUBMODE")) qsl.SubMode = GetAdifValue(CurrentLine, u"SUBMODE");
  if (HasAdifTag(line, u"MODE")) {
    qsl.Mode = GetAdifValueTyped(CurrentLine, u"MODE");
    ApplyModeRules();
  }
  if (HasAdifTag(line, u"QSO_DATE")) {
    qsl.QsoDateText = GetAdifValueTyped(CurrentLine, u"QSO_DATE");
    qsl.QsoDate = DateFromAdif(qsl.QsoDateText);
    qsl.HasQsoDate = true;
  }
  if (HasAdifTag(line, u"TIME_ON")) SetTimeWindow(qsl, GetAdifValueTyped(CurrentLine, u"TIME_ON"));
  // Matched as soon as everything it is looked up by is known, its date
  // included, so that a record spread over lines never borrows a date.
  if (!qsl.Call.isEmpty() && !qsl.Band.isEmpty() && !qsl.Mode.isEmpty() && !qsl.TimeOn.isEmpty() &&
      qsl.HasQsoDate) {
    MatchEqslConfirmation();
    qsl.Clear();
  }
  // The record ends here whatever it holds: one that never became complete (a
  // band the table lacks, a missing field) is unmatched, and nothing of it is
  // left for the next record.
  if (HasAdifRecordEnd(line)) {
    if (!qsl.Call.isEmpty()) MatchEqslConfirmation();
    qsl.Clear();
  }
}

void EqslInboxRun::ApplyModeRules() {
  PendingQslRecord& qsl = PendingQsl;
  qsl.Mode = EqslRunMode(qsl.Mode, qsl.SubMode, qsl.RstRcvd);
}

QString EqslRunMode(const QString& mode, const QString& submode, const QString& rst_rcvd) {
  QString result = mode;
  if (result == u"PSK" || result == u"MFSK") {
    if (!submode.isEmpty()) {
      result = AsciiUpper(TrimControl(submode));
    } else if (result == u"MFSK") {
      result = QStringLiteral("FT4");
    }
  }
  // eQSL files FT4 as MFSK; its signal reports are dB values ("-12", "+03",
  // "57" as two digits), where MFSK16 reports read like "599".
  if (submode.contains(QLatin1String("MFSK")) &&
      (rst_rcvd.size() == 2 || rst_rcvd.contains(u'-') || rst_rcvd.contains(u'+'))) {
    result = QStringLiteral("FT4");
  }
  if (result == u"CONTESTI") result = QStringLiteral("CONTEST");
  return result;
}

void EqslInboxRun::MatchEqslConfirmation() {
  const PendingQslRecord& qsl = PendingQsl;
  bool updated = false;
  bool already_marked = false;
  // A record without QSO_DATE, a time or a band the table holds has no QSO to
  // look for: it is listed as unmatched instead of being matched against an
  // earlier record's values.
  if (qsl.HasQsoDate && qsl.HasTimeWindow && !qsl.Band.isEmpty()) {
    const QsoLookup lookup = RecordLookup(qsl, StrToFloat(qsl.Band), MatchRules::kEqsl);
    for (const QString& table : tables_) {
      const std::optional<FoundQso> found = database_.FindQso(table, lookup, {kEqslMark});
      if (!found) continue;
      if (found->Truth(kEqslMark)) {
        already_marked = true;
        tally_.AlreadyConfirmed(table);
      } else {
        database_.ChangeFoundRow(table, *found, {{kEqslMark, true}});
        updated = true;
        tally_.Confirmed(table);
      }
    }
  }
  if (!updated && !already_marked && !IsIgnored(ignore_list_, qsl.Call)) {
    error_list_ << QStringLiteral("Error") << DetailLine();
    unmatched_lines_ << lines_read_;
    tally_.Unmatched();
  }
}

QString EqslInboxRun::DetailLine() const {
  const PendingQslRecord& qsl = PendingQsl;
  const QString date = qsl.HasQsoDate ? DateToStr(qsl.QsoDate) : QString();
  // A band the table does not hold stands as it was read.
  const QString band = qsl.Band.isEmpty() ? qsl.BandText : qsl.Band;
  return QStringList{date, qsl.TimeOn, band, qsl.Mode, qsl.Call, qsl.Mode, QString()}.join(
      QLatin1Char(' '));
}
