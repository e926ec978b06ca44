#ifndef QORVSYNC_NET_MULTIPART_BODY_H_
#define QORVSYNC_NET_MULTIPART_BODY_H_

#include <QByteArray>
#include <QString>

// The two ways the services expect the file part and the closing delimiter.
enum class MultipartStyle {
  kUpfile,  // the Qorv upload: field "upfile", Application/octet-string
  kFile,    // the Club Log upload: field "file", Application/octet-stream
};

// A multipart/form-data body built piece by piece, byte for byte as the
// services expect it. Text pieces go out in Windows-1252; file content is
// copied unchanged.
class MultipartBody {
 public:
  // Eight upper-case hex digits of a random number from 0 to 2147483646, then
  // "_Synapse_boundary". The generator is seeded once per run from a
  // high-resolution clock, so runs do not repeat each other's boundaries.
  static QString MakeBoundary();

  // A body with a fresh boundary, or with the given one.
  MultipartBody();
  explicit MultipartBody(const QString& boundary);

  // One text part; a double quote in the name is doubled.
  void AddTextField(const QString& name, const QString& value);
  // Reads the whole file (AppError 'Cannot open file "<path>". <reason>') and
  // appends its part, named by the file's full path.
  void AddFilePart(MultipartStyle style, const QString& path);
  void CloseBody(MultipartStyle style);

  const QString& Boundary() const { return boundary_; }
  // "multipart/form-data; boundary=" + the boundary.
  QString ContentType() const;
  const QByteArray& Bytes() const { return bytes_; }

 private:
  QString boundary_;
  QByteArray bytes_;
};

#endif  // QORVSYNC_NET_MULTIPART_BODY_H_
