#include "confirmations/confirmation_run.h"

#include <utility>

#include "adif/adif_reader.h"
#include "adif/band_tables.h"
#include "confirmations/confirmation_outcome.h"
#include "confirmations/pending_qsl.h"
#include "confirmations/staged_writing.h"
#include "platform/app_error.h"
#include "platform/conversions.h"
#include "platform/event_pump.h"

namespace {

// The columns a match reads besides the first one, which decides "found".
const QStringList kReadColumns = {QStringLiteral("QorvRec"), QStringLiteral("State")};

// The fields a line is tested for, each a whole tag anywhere in the line,
// letters in any case.
enum Marker : unsigned {
  kCall = 1u << 0,
  kBand = 1u << 1,
  kMode = 1u << 2,
  kSubmode = 1u << 3,
  kQsoDate = 1u << 4,
  kTimeOn = 1u << 5,
  kQslRDate = 1u << 6,
  kGridSquare = 1u << 7,
  kState = 1u << 8,
  kIota = 1u << 9,
  kCnty = 1u << 10,
  kEor = 1u << 11,
};

struct FieldMarker {
  QStringView name;
  Marker marker;
};

constexpr FieldMarker kFieldMarkers[] = {{u"CALL", kCall},         {u"BAND", kBand},
                                         {u"MODE", kMode},         {u"SUBMODE", kSubmode},
                                         {u"QSO_DATE", kQsoDate},  {u"TIME_ON", kTimeOn},
                                         {u"QSLRDATE", kQslRDate}, {u"GRIDSQUARE", kGridSquare},
                                         {u"STATE", kState},       {u"IOTA", kIota},
                                         {u"CNTY", kCnty}};

// One pass over the line's "<" finds them all, where a search per field
// would scan the line a dozen times.
unsigned MarkersOn(QStringView line) {
  unsigned found = 0;
  for (qsizetype at = 0; at < line.size(); ++at) {
    if (line[at] != u'<') continue;
    QChar end;
    const QStringView name = AdifTagNameAt(line, at, &end);
    // Every name looked for starts with a letter.
    if (name.isEmpty() || !name[0].isLetter()) continue;
    if (end == u'>') {
      if (EqualsNoCase(name, u"EOR")) found |= kEor;
      continue;
    }
    for (const FieldMarker& field : kFieldMarkers) {
      if (EqualsNoCase(name, field.name)) found |= field.marker;
    }
  }
  return found;
}

// The part before the first "//", trimmed; the whole text when it holds none.
QString BeforeComment(const QString& value) {
  const qsizetype cut = value.indexOf(QLatin1StringView("//"));
  return cut < 0 ? value : TrimControl(value.left(cut));
}

}  // namespace

ConfirmationRun::ConfirmationRun(OperationUi& ui, LogDatabase& database, QString log_set,
                                 ConfirmationOptionsReader read_options)
    : ui_(ui),
      database_(database),
      log_set_(std::move(log_set)),
      read_options_(std::move(read_options)) {}

void ConfirmationRun::RunReportLines(const QStringList& lines) {
  BeginMatching(CountLinesWithAdifTag(lines, u"CALL"));
  KeepTallyOnError(tally_, [&] {
    EventPump pump(ui_);
    LogDatabase::WriteBatch batch(database_);
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
      ProcessReportLine(lines[i]);
      pump.SetProgress(n == 1 ? 100 : static_cast<int>(i * 100 / (n - 1)));
      pump.Tick();
    }
    batch.Commit();
  });
}

void ConfirmationRun::RunReportFile(const TextFileLines& file) {
  const LineTally tally = CountLinesAndRecords(file);
  const qsizetype n = tally.lines;
  BeginMatching(tally.records);
  KeepTallyOnError(tally_, [&] {
    EventPump pump(ui_);
    LogDatabase::WriteBatch batch(database_);
    qsizetype i = 0;
    file.ForEach([&](const QString& line) {
      ProcessReportLine(line);
      pump.SetProgress(n == 1 ? 100 : static_cast<int>(i * 100 / (n - 1)));
      pump.Tick();
      ++i;
    });
    batch.Commit();
  });
}

void ConfirmationRun::TakeArrivingLine(const QString& line) {
  MatchArrivingLine(arrival_error_, tally_, [&] { ProcessReportLine(line); });
}

void ConfirmationRun::WriteArrived(StagedChanges& staged, qsizetype records) {
  BeginMatching(records);
  tally_ = WriteStagedWithProgress(ui_, database_, tally_, staged);
  if (arrival_error_) std::rethrow_exception(arrival_error_);
}

void ConfirmationRun::ProcessReportLine(const QString& line) {
  PendingQslRecord& qsl = PendingQsl;
  CurrentLine = line;
  ++lines_read_;
  const unsigned markers = MarkersOn(line);
  if (markers & kCall) {
    qsl.Call = TrimControl(GetAdifValue(CurrentLine, u"CALL"));
    ++qso_count_;
  }
  if (markers & kBand) {
    qsl.BandText = TrimControl(GetAdifValue(CurrentLine, u"BAND"));
    qsl.Band = TrimControl(BandToDigiBand(qsl.BandText));
  }
  if (markers & kMode) qsl.Mode = TrimControl(GetAdifValue(CurrentLine, u"MODE"));
  if (markers & kSubmode) qsl.SubMode = TrimControl(GetAdifValue(CurrentLine, u"SUBMODE"));
  if (!qsl.SubMode.isEmpty()) qsl.Mode = qsl.SubMode;
  if (markers & kQsoDate) {
    qsl.QsoDateText = TrimControl(GetAdifValue(CurrentLine, u"QSO_DATE"));
    qsl.QsoDate = DateFromAdif(qsl.QsoDateText);
    qsl.HasQsoDate = true;
  }
  if (markers & kTimeOn) SetTimeWindow(qsl, GetAdifValue(CurrentLine, u"TIME_ON"));
  if (markers & kQslRDate) {
    qsl.QslRDate = DateFromAdif(TrimControl(GetAdifValue(CurrentLine, u"QSLRDATE")));
    qsl.HasQslRDate = true;
  }
  if (markers & kGridSquare) {
    qsl.GridSquare = TrimControl(TrimControl(GetAdifValue(CurrentLine, u"GRIDSQUARE")).left(6));
  }
  if (markers & kState) {
    qsl.StateCode = BeforeComment(TrimControl(GetAdifValue(CurrentLine, u"STATE")));
  }
  if (markers & kIota) qsl.Iota = TrimControl(GetAdifValue(CurrentLine, u"IOTA"));
  if (markers & kCnty) {
    qsl.County = BeforeComment(GetAdifValue(CurrentLine, u"CNTY")).replace(u',', u'-');
  }
  if (markers & kEor) {
    MatchConfirmation();
    // The whole record ends here, its date and time window included.
    qsl.Clear();
  }
}

void ConfirmationRun::BeginMatching(qsizetype records) {
  tally_.began = true;
  ui_.BeginMatching(records);
}

const QStringList& ConfirmationRun::LogSetTables() {
  if (!tables_) tables_ = database_.LogSetTables(log_set_);
  return *tables_;
}

void ConfirmationRun::MatchConfirmation() {
  const PendingQslRecord& qsl = PendingQsl;
  bool updated = false;
  bool already_confirmed = false;
  const QStringList& tables = LogSetTables();
  // A record without a band the table holds, a date or a time has no QSO to
  // look for: it is listed as unmatched and the run goes on.
  if (!tables.isEmpty() && !qsl.Band.isEmpty() && qsl.HasQsoDate && qsl.HasTimeWindow) {
    const QsoLookup lookup = RecordLookup(qsl, StrToFloat(qsl.Band), MatchRules::kQorv);
    for (const QString& table : tables) {
      const std::optional<FoundQso> found = database_.FindQso(table, lookup, kReadColumns);
      if (!found) continue;
      if (found->Truth(QStringLiteral("QorvRec"))) {
        already_confirmed = true;
        tally_.AlreadyConfirmed(table);
      } else {
        Confirm(table, *found);
        updated = true;
        tally_.Confirmed(table);
      }
    }
  }
  if (!updated && !already_confirmed) {
    AppendErrorLines();
    tally_.Unmatched();
  }
  database_.MaybeCommit();
}

bool ConfirmationRun::ConfirmRecord(const QStringList& record_lines, const QString& table,
                                    const FoundQso& found) {
  for (const QString& line : record_lines) ProcessReportLine(line);
  const bool written = ConfirmFound(table, found);
  PendingQsl.Clear();
  return written;
}

bool ConfirmationRun::ConfirmFound(const QString& table, const FoundQso& found) {
  if (found.Truth(QStringLiteral("QorvRec"))) return false;
  Confirm(table, found);
  tally_.Confirmed(table);
  return true;
}

void ConfirmationRun::Confirm(const QString& table, const FoundQso& found) {
  const PendingQslRecord& qsl = PendingQsl;
  if (!qsl.HasQslRDate) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid date"), QString()));
  }
  ColumnValues values = {{QStringLiteral("QorvRec"), true},
                         {QStringLiteral("QorvRecDate"), qsl.QslRDate}};
  const ConfirmationOptions options = read_options_();
  if (options.update_locator && !qsl.GridSquare.isEmpty()) {
    values.append({QStringLiteral("Grid"), qsl.GridSquare});
  }
  // A State holding "-" was set by hand (XX-YY) and stays.
  if (options.update_state && !found.Text(QStringLiteral("State")).contains(u'-') &&
      !qsl.StateCode.isEmpty()) {
    values.append({QStringLiteral("State"), qsl.StateCode});
  }
  if (options.update_iota && !qsl.Iota.isEmpty()) {
    values.append({QStringLiteral("IOTA"), qsl.Iota});
  }
  if (options.update_county && !qsl.County.isEmpty()) {
    values.append({options.county_column, qsl.County});
  }
  database_.ChangeFoundRow(table, found, values);
}

void ConfirmationRun::AppendErrorLines() {
  const PendingQslRecord& qsl = PendingQsl;
  const QString date = qsl.HasQsoDate ? DateToStr(qsl.QsoDate) : QString();
  // A band the table does not hold stands as it was read.
  const QString band = qsl.Band.isEmpty() ? qsl.BandText : qsl.Band;
  error_list_ << QStringLiteral("Error")
              << QStringList{date,     qsl.TimeOn,     band,         qsl.Mode,
                             qsl.Call, qsl.GridSquare, qsl.StateCode}
                     .join(u' ');
  unmatched_lines_ << lines_read_;
}
