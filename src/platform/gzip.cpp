#include "platform/gzip.h"

#include <zlib.h>

namespace {

// 15 window bits plus 16: a gzip wrapper rather than zlib's own.
constexpr int kGzipWindow = 15 + 16;

Bytef* Bytes(const QByteArray& data) {
  return reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
}

}  // namespace

QByteArray Gzip(const QByteArray& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY);
  QByteArray out(static_cast<qsizetype>(deflateBound(&stream, data.size())), '\0');
  stream.next_in = Bytes(data);
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
  if (inflateInit2(&stream, kGzipWindow) != Z_OK) return std::nullopt;
  stream.next_in = Bytes(data);
  stream.avail_in = static_cast<uInt>(data.size());
  QByteArray out;
  char buffer[65536];
  int result = Z_OK;
  while (result == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, static_cast<qsizetype>(sizeof buffer - stream.avail_out));
  }
  inflateEnd(&stream);
  if (result != Z_STREAM_END) return std::nullopt;
  return out;
}
