#include "signed_log.h"

#include <zlib.h>

#include <QCryptographicHash>
#include <QList>

namespace {

constexpr char kMarker[] = "TQSL-DOUBLE SIGNED LOG 1";

QByteArray Gzip(const QByteArray& data) {
  z_stream stream{};
  // 15 + 16: a gzip wrapper rather than zlib's own.
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  QByteArray out(static_cast<qsizetype>(deflateBound(&stream, data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.truncate(static_cast<qsizetype>(stream.total_out));
  deflateEnd(&stream);
  return out;
}

std::optional<QByteArray> Gunzip(const QByteArray& data) {
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 16) != Z_OK) return std::nullopt;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream.avail_in = static_cast<uInt>(data.size());
  QByteArray out;
  char buffer[16384];
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, static_cast<qsizetype>(sizeof buffer - stream.avail_out));
    if (result == Z_BUF_ERROR && stream.avail_in == 0) break;
  }
  inflateEnd(&stream);
  if (result != Z_STREAM_END || stream.avail_in != 0) return std::nullopt;
  return out;
}

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
