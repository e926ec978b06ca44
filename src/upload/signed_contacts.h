#ifndef QORVSYNC_UPLOAD_SIGNED_CONTACTS_H_
#define QORVSYNC_UPLOAD_SIGNED_CONTACTS_H_

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// What identifies a QSO between the export file and the signed file, in one
// spelling: call sign upper case without blanks at its ends, date yyyymmdd,
// time hhmm, band and mode upper case.
struct QsoKey {
  QString call;
  QString date;
  QString time;
  QString band;
  QString mode;

  friend bool operator==(const QsoKey&, const QsoKey&) = default;
};

size_t qHash(const QsoKey& key, size_t seed = 0);

// A call, band or mode as a key spells it: trimmed, in upper case.
QString KeyText(const QString& text);

// The key from the texts as a file spells them: dates "yyyymmdd" or
// "yyyy-mm-dd", times "hhmm", "hh:mm" or "hh:mm:ssZ".
QsoKey MakeQsoKey(const QString& call, const QString& date, const QString& time,
                  const QString& band, const QString& mode);

// The contacts of a signed file as TQSL writes it: gzip-compressed text of
// tagged records "<NAME:length>value" ending in "<eor>". A contact record is
// one of the type tCONTACT, or a record without a type that names a CALL
// (an ADIF record); its time is QSO_TIME, else TIME_ON. Nothing when the
// bytes are not a whole gzip stream.
std::optional<QList<QsoKey>> ReadSignedContacts(const QByteArray& signed_file);

#endif  // QORVSYNC_UPLOAD_SIGNED_CONTACTS_H_
