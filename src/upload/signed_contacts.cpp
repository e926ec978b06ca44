#include "upload/signed_contacts.h"

#include <QHash>
#include <QMap>

#include "adif/adif_tags.h"
#include "platform/gzip.h"

namespace {

// The records of tagged text, each a map of upper-case field names to values.
// The bytes are read one character each, so that the lengths count bytes.
QList<QMap<QByteArray, QByteArray>> TaggedRecords(const QByteArray& bytes) {
  const QString text = QString::fromLatin1(bytes);
  QList<QMap<QByteArray, QByteArray>> records;
  QMap<QByteArray, QByteArray> current;
  ForEachAdifTag(text, [&](const AdifTag& tag) {
    if (tag.Is(u"EOR") || tag.Is(u"EOH")) {
      if (tag.Is(u"EOR")) records.append(current);
      current.clear();
    } else if (!tag.IsMarker()) {
      current.insert(tag.name.toLatin1().toUpper(), tag.Value(text).toLatin1());
    }
  });
  return records;
}

QString Digits(const QString& text) {
  QString digits;
  for (const QChar ch : text) {
    if (ch.isDigit()) digits += ch;
  }
  return digits;
}

}  // namespace

size_t qHash(const QsoKey& key, size_t seed) {
  return qHashMulti(seed, key.call, key.date, key.time, key.band, key.mode);
}

QString KeyText(const QString& text) { return text.trimmed().toUpper(); }

QsoKey MakeQsoKey(const QString& call, const QString& date, const QString& time,
                  const QString& band, const QString& mode) {
  return {KeyText(call), Digits(date).left(8), Digits(time).left(4), KeyText(band), KeyText(mode)};
}

std::optional<QList<QsoKey>> ReadSignedContacts(const QByteArray& signed_file) {
  const std::optional<QByteArray> text = Gunzip(signed_file);
  if (!text) return std::nullopt;
  QList<QsoKey> contacts;
  for (const QMap<QByteArray, QByteArray>& record : TaggedRecords(*text)) {
    const QByteArray type = record.value("REC_TYPE");
    const bool contact = type.isEmpty() ? record.contains("CALL")
                                        : type.compare("tCONTACT", Qt::CaseInsensitive) == 0;
    if (!contact) continue;
    const auto text_of = [&record](const char* name) {
      return QString::fromUtf8(record.value(name));
    };
    const QString time = record.contains("QSO_TIME") ? text_of("QSO_TIME") : text_of("TIME_ON");
    contacts.append(
        MakeQsoKey(text_of("CALL"), text_of("QSO_DATE"), time, text_of("BAND"), text_of("MODE")));
  }
  return contacts;
}
