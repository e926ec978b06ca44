#include "net/multipart_body.h"

#include <chrono>
#include <mutex>
#include <random>

#include "platform/text_codec.h"

namespace {

const char kCrLf[] = "\r\n";

}  // namespace

QString MultipartBody::MakeBoundary() {
  static std::mutex mutex;
  static std::mt19937 generator(static_cast<std::mt19937::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> draw(0, 2147483646);
  int number = 0;
  {
    std::lock_guard<std::mutex> lock(mutex);
    number = draw(generator);
  }
  return QStringLiteral("%1").arg(number, 8, 16, QLatin1Char('0')).toUpper() +
         QLatin1String("_Synapse_boundary");
}

MultipartBody::MultipartBody() : MultipartBody(MakeBoundary()) {}

MultipartBody::MultipartBody(const QString& boundary) : boundary_(boundary) {}

void MultipartBody::AddTextField(const QString& name, const QString& value) {
  QString quoted_name = name;
  quoted_name.replace(u'"', QLatin1String("\"\""));
  bytes_ += ToAnsi(QLatin1String("--") + boundary_) + kCrLf;
  bytes_ +=
      ToAnsi(QLatin1String("Content-Disposition: form-data; name=\"") + quoted_name + u'"') + kCrLf;
  bytes_ += QByteArray("Content-Type: text/plain") + kCrLf;
  bytes_ += kCrLf;
  bytes_ += ToAnsi(value) + kCrLf;
}

void MultipartBody::AddFilePart(MultipartStyle style, const QString& path) {
  const QByteArray content = ReadFileBytes(path);
  const bool upfile = style == MultipartStyle::kUpfile;
  bytes_ += ToAnsi(QLatin1String("--") + boundary_) + kCrLf;
  bytes_ += upfile ? "content-disposition: form-data; name=\"upfile\";"
                   : "Content-disposition: form-data; name=\"file\";";
  bytes_ += ToAnsi(QLatin1String(" filename=\"") + path + u'"') + kCrLf;
  bytes_ +=
      upfile ? "Content-Type: Application/octet-string" : "Content-Type: Application/octet-stream";
  bytes_ += kCrLf;
  bytes_ += kCrLf;
  bytes_ += content;
}

void MultipartBody::CloseBody(MultipartStyle style) {
  if (style == MultipartStyle::kUpfile) bytes_ += kCrLf;
  bytes_ += ToAnsi(QLatin1String("--") + boundary_ + QLatin1String("--")) + kCrLf;
}

QString MultipartBody::ContentType() const {
  return QLatin1String("multipart/form-data; boundary=") + boundary_;
}
