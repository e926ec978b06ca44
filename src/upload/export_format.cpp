#include "upload/export_format.h"

#include <QDate>
#include <QTime>

#include "adif/band_tables.h"
#include "platform/app_error.h"

namespace {

// The maker's address the logbook writes into its export header.
constexpr char kMakerAddress[] = "https://www.vodrix-log.example";

void AppendField(QString& line, QLatin1String tag, const QString& value) {
  line += u'<';
  line += tag;
  line += u':';
  line += QString::number(value.size());
  line += u'>';
  line += value;
}

// The stored date "YYYY-MM-DD" as yyyymmdd. An empty date is day zero of
// the date type, 30 December 1899, as an empty date field reads.
std::optional<QString> AdifDate(const QString& stored) {
  if (stored.isEmpty()) return QStringLiteral("18991230");
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

std::optional<ExportRecord> MakeExportRecord(const UnsentQso& qso, const SubmodeTable& submodes) {
  const std::optional<QString> date = AdifDate(qso.QSODate);
  const std::optional<QString> time = AdifTime(qso.QSOTime);
  if (!date || !time) return std::nullopt;

  ExportRecord record;
  QString& line = record.line;
  line.reserve(160);
  const QString band = DigiBandToBand(qso.DigiBand);
  AppendField(line, QLatin1String("CALL"), qso.CallSign);
  AppendField(line, QLatin1String("QSO_DATE"), *date);
  AppendField(line, QLatin1String("TIME_ON"), *time);
  AppendField(line, QLatin1String("BAND"), band);
  AppendField(line, QLatin1String("FREQ"), FreqToAdif(qso.QSOBand));

  // The submode table is asked with the exported mode before CONTEST turns
  // into CONTESTI.
  QString mode = ModeToAdif(qso.QSOMode);
  const QString adif_mode = submodes.Lookup(mode);
  if (mode == QLatin1String("CONTEST")) mode = QStringLiteral("CONTESTI");
  if (adif_mode.isEmpty()) {
    AppendField(line, QLatin1String("MODE"), mode);
  } else {
    AppendField(line, QLatin1String("MODE"), adif_mode);
    AppendField(line, QLatin1String("SUBMODE"), mode);
    record.key.submode = mode.toUpper();
  }

  if (!TrimControl(qso.SAT_NAME).isEmpty()) {
    AppendField(line, QLatin1String("SAT_NAME"), qso.SAT_NAME);
    line += QLatin1String("<PROP_MODE:3>SAT");
  }
  line += QLatin1String("<EOR>");
  record.key.key =
      MakeQsoKey(qso.CallSign, *date, *time, band, adif_mode.isEmpty() ? mode : adif_mode);
  return record;
}
