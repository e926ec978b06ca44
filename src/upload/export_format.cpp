#include "upload/export_format.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <charconv>

#include "adif/band_tables.h"
#include "platform/app_error.h"

namespace {

// The maker's address the logbook writes into its export header.
constexpr char kMakerAddress[] = "https://www.vodrix-log.example";

void AppendField(QString& line, QLatin1String tag, const QString& value) {
  // Written in place: this runs eight times for every QSO of an export.
  char digits[24];
  const char* digits_end = std::to_chars(digits, digits + sizeof digits, value.size()).ptr;
  const qsizetype at = line.size();
  line.resize(at + tag.size() + (digits_end - digits) + value.size() + 3);
  QChar* out = line.data() + at;
  *out++ = u'<';
  for (const char c : tag) *out++ = QLatin1Char(c);
  *out++ = u':';
  for (const char* c = digits; c != digits_end; ++c) *out++ = QLatin1Char(*c);
  *out++ = u'>';
  std::copy(value.cbegin(), value.cend(), out);
}

// The log's own forms of a date ("YYYY-MM-DD") and a time ("HH:MM", "H:MM")
// are read without a general parser; anything else goes the general way.
std::optional<QString> StoredIsoDate(const QString& stored) {
  if (stored.size() != 10 || stored[4] != u'-' || stored[7] != u'-') return std::nullopt;
  const std::optional<int> year = AsciiDigitsValue(stored, 0, 4);
  const std::optional<int> month = AsciiDigitsValue(stored, 5, 2);
  const std::optional<int> day = AsciiDigitsValue(stored, 8, 2);
  if (!year || !month || !day || !QDate(*year, *month, *day).isValid()) return std::nullopt;
  const QChar yyyymmdd[] = {stored[0], stored[1], stored[2], stored[3],
                            stored[5], stored[6], stored[8], stored[9]};
  return QString(yyyymmdd, 8);
}

std::optional<QString> StoredHourMinute(const QString& stored) {
  const qsizetype colon = stored.indexOf(u':');
  if ((colon != 1 && colon != 2) || stored.size() != colon + 3) return std::nullopt;
  const std::optional<int> hour = AsciiDigitsValue(stored, 0, colon);
  const std::optional<int> minute = AsciiDigitsValue(stored, colon + 1, 2);
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  const QChar hhmm[] = {colon == 1 ? QChar(u'0') : stored[0], stored[colon - 1], stored[colon + 1],
                        stored[colon + 2]};
  return QString(hhmm, 4);
}

// The stored date "YYYY-MM-DD" as yyyymmdd. An empty date is day zero of
// the date type, 30 December 1899, as an empty date field reads.
std::optional<QString> AdifDate(const QString& stored) {
  if (stored.isEmpty()) return QStringLiteral("18991230");
  if (std::optional<QString> date = StoredIsoDate(stored)) return date;
  if (stored.size() < 10 ||
      (stored.size() > 10 && stored.at(10) != u' ' && stored.at(10) != u'T')) {
    return std::nullopt;
  }
  const QDate date = QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd"));
  if (!date.isValid()) return std::nullopt;
  return date.toString(QStringLiteral("yyyyMMdd"));
}

// The stored time ("HH:MM", "HH:MM:SS", "9:05") as hhmm. The log keeps its
// times with ":", whatever the user's time separator.
std::optional<QString> AdifTime(const QString& stored) {
  if (std::optional<QString> time = StoredHourMinute(stored)) return time;
  RegionalSettings fixed;
  fixed.time_separator = u':';
  try {
    return DateTimeToTime(StrToTime(stored, fixed)).toString(QStringLiteral("HHmm"));
  } catch (const AppError&) {
    return std::nullopt;
  }
}

}  // namespace

QString ExportFileName(const QDateTime& local) {
  return QStringLiteral("Qorv_ADIF_") + local.toString(QStringLiteral("yyyyMMddHHmmss")) +
         QStringLiteral(".adi");
}

QStringList ExportHeader(qsizetype count, const QDateTime& created,
                         const RegionalSettings& settings) {
  return {QStringLiteral("#"),
          QStringLiteral("#   Created:  ") +
              FormatDateTime(QStringLiteral("dd-mm-yyyy hh:nn:ss"), created, settings),
          QStringLiteral("#   Vodrix log v.3.31-61  ") + QLatin1String(kMakerAddress),
          QStringLiteral("#   Exported: %1 records").arg(count),
          QStringLiteral("#"),
          QString(),
          QStringLiteral("<ADIF_VERS:3>3.0"),
          QStringLiteral("<PROGRAMID:10>Vodrix log"),
          QStringLiteral("<PROGRAMVERSION:7>3.31-61"),
          QStringLiteral("<EOH>"),
          QString()};
}

ExportRecordMaker::ExportRecordMaker(const SubmodeTable& submodes) : submodes_(submodes) {}

const ExportRecordMaker::Band& ExportRecordMaker::BandOf(const QString& digi_band) {
  auto known = bands_.constFind(digi_band);
  if (known == bands_.cend()) {
    const QString band = DigiBandToBand(digi_band);
    known = bands_.insert(digi_band, {band, KeyText(band)});
  }
  return *known;
}

const ExportRecordMaker::Mode& ExportRecordMaker::ModeOf(const QString& qso_mode) {
  auto known = modes_.constFind(qso_mode);
  if (known != modes_.cend()) return *known;
  // The submode table is asked with the exported mode before CONTEST turns
  // into CONTESTI.
  QString mode = ModeToAdif(qso_mode);
  const QString adif_mode = submodes_.Lookup(mode);
  if (mode == QLatin1String("CONTEST")) mode = QStringLiteral("CONTESTI");
  Mode fields;
  if (adif_mode.isEmpty()) {
    AppendField(fields.fields, QLatin1String("MODE"), mode);
  } else {
    AppendField(fields.fields, QLatin1String("MODE"), adif_mode);
    AppendField(fields.fields, QLatin1String("SUBMODE"), mode);
    fields.submode = mode.toUpper();
  }
  fields.key_mode = KeyText(adif_mode.isEmpty() ? mode : adif_mode);
  return *modes_.insert(qso_mode, fields);
}

std::optional<ExportRecord> ExportRecordMaker::Make(const UnsentQso& qso) {
  const std::optional<QString> date = AdifDate(qso.QSODate);
  const std::optional<QString> time = AdifTime(qso.QSOTime);
  if (!date || !time) return std::nullopt;

  ExportRecord record;
  QString& line = record.line;
  line.reserve(160);
  const Band& band = BandOf(qso.DigiBand);
  const Mode& mode = ModeOf(qso.QSOMode);
  AppendField(line, QLatin1String("CALL"), qso.CallSign);
  AppendField(line, QLatin1String("QSO_DATE"), *date);
  AppendField(line, QLatin1String("TIME_ON"), *time);
  AppendField(line, QLatin1String("BAND"), band.written);
  AppendField(line, QLatin1String("FREQ"), FreqToAdif(qso.QSOBand));
  line += mode.fields;
  if (!TrimControl(qso.SAT_NAME).isEmpty()) {
    AppendField(line, QLatin1String("SAT_NAME"), qso.SAT_NAME);
    line += QLatin1String("<PROP_MODE:3>SAT");
  }
  line += QLatin1String("<EOR>");
  // The date and time written are already in the key's spelling (yyyymmdd,
  // hhmm); the band and mode were spelled so once for the export.
  record.key.key = {KeyText(qso.CallSign), *date, *time, band.key, mode.key_mode};
  record.key.submode = mode.submode;
  return record;
}
