#include "signed_log.h"

#include <QCryptographicHash>
#include <QList>

#include "platform/gzip.h"

namespace {

constexpr char kMarker[] = "TQSL-DOUBLE SIGNED LOG 1";

QByteArray Sha256Hex(const QByteArray& data) {
  return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

}  // namespace

int CountAdifRecords(const QByteArray& adif) {
  return static_cast<int>(adif.toLower().count("<eor>"));
}

QByteArray WriteSignedLog(const SignedLog& log) {
  QByteArray text;
  text += kMarker;
  text += "\nLocation: " + log.location.toUtf8();
  text += "\nCallsign: " + log.callsign.toUtf8();
  text += "\nSource: " + log.source_file.toUtf8();
  text += "\nQSOs: " + QByteArray::number(log.qso_count);
  text += "\nADIF-Length: " + QByteArray::number(log.adif.size());
  text += "\nADIF-SHA256: " + Sha256Hex(log.adif);
  text += "\n\n";
  text += log.adif;
  return Gzip(text);
}

std::optional<SignedLog> ReadSignedLog(const QByteArray& tq8, QString* error) {
  const std::optional<QByteArray> text = Gunzip(tq8);
  if (!text) {
    *error = "not a gzip stream";
    return std::nullopt;
  }
  const qsizetype header_end = text->indexOf("\n\n");
  if (!text->startsWith(QByteArray(kMarker) + "\n") || header_end < 0) {
    *error = "not a signed log";
    return std::nullopt;
  }
  SignedLog log;
  qsizetype length = -1;
  QByteArray checksum;
  for (const QByteArray& line : text->left(header_end).split('\n')) {
    const qsizetype colon = line.indexOf(": ");
    if (colon < 0) continue;
    const QByteArray key = line.left(colon);
    const QByteArray value = line.mid(colon + 2);
    if (key == "Location") log.location = QString::fromUtf8(value);
    if (key == "Callsign") log.callsign = QString::fromUtf8(value);
    if (key == "Source") log.source_file = QString::fromUtf8(value);
    if (key == "QSOs") log.qso_count = value.toInt();
    if (key == "ADIF-Length") length = value.toLongLong();
    if (key == "ADIF-SHA256") checksum = value;
  }
  log.adif = text->mid(header_end + 2);
  if (log.adif.size() != length || Sha256Hex(log.adif) != checksum) {
    *error = "signature check failed";
    return std::nullopt;
  }
  return log;
}
