#ifndef QORVSYNC_UPLOAD_EXPORT_FORMAT_H_
#define QORVSYNC_UPLOAD_EXPORT_FORMAT_H_

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "logdb/log_database.h"
#include "platform/conversions.h"
#include "upload/signed_contacts.h"
#include "upload/submode_table.h"

// The ADIF file of QSOs not yet sent to Qorv, the way the logbook's own export
// writes it: a fixed header and one record line per QSO.

// "Qorv_ADIF_yyyymmddhhmmss.adi" from the local date and time.
QString ExportFileName(const QDateTime& local);

// Header lines 1 to 11 (without line ends); the time of "Created:" is written
// with the user's time separator.
QStringList ExportHeader(qsizetype count, const QDateTime& created,
                         const RegionalSettings& settings = CurrentRegionalSettings());

// What finds an exported QSO in the signed file: the key with the MODE
// written, and the SUBMODE (empty when none), which TQSL may give as the
// contact's mode instead.
struct ExportedKey {
  QsoKey key;
  QString submode;
};

// One exported QSO: its record line and its key.
struct ExportRecord {
  QString line;
  ExportedKey key;
};

// Makes the record of each QSO of one export. What depends only on the band
// or the mode is made once per band and mode of the export.
class ExportRecordMaker {
 public:
  explicit ExportRecordMaker(const SubmodeTable& submodes);

  // The record of a QSO, or nothing when the QSO's date or time cannot be
  // read (the caller tells the user which call sign). A QSOBand that is no
  // frequency throws "'%s' is not a valid floating point value".
  std::optional<ExportRecord> Make(const UnsentQso& qso);

 private:
  struct Band {
    QString written;  // the BAND field's value
    QString key;
  };
  struct Mode {
    QString fields;  // MODE, and SUBMODE when the table has one
    QString submode;
    QString key_mode;
  };
  const Band& BandOf(const QString& digi_band);
  const Mode& ModeOf(const QString& qso_mode);

  const SubmodeTable& submodes_;
  QHash<QString, Band> bands_;
  QHash<QString, Mode> modes_;
};

#endif  // QORVSYNC_UPLOAD_EXPORT_FORMAT_H_
