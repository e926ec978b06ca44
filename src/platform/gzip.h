#ifndef QORVSYNC_PLATFORM_GZIP_H_
#define QORVSYNC_PLATFORM_GZIP_H_

#include <QByteArray>
#include <optional>

// gzip streams (the format of TQSL's signed files), through zlib.

// The data as one gzip stream.
QByteArray Gzip(const QByteArray& data);

// The content of a whole gzip stream; nothing when the bytes are no gzip
// stream or one cut short.
std::optional<QByteArray> Gunzip(const QByteArray& data);

#endif  // QORVSYNC_PLATFORM_GZIP_H_
