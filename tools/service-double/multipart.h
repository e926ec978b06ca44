// A multipart/form-data body taken apart. The double reads bodies itself, so
// that it sees exactly the bytes the client sent and accepts a closing
// delimiter that follows the file's last byte directly.
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

struct FormPart {
  QByteArray name;
  QByteArray file_name;  // empty for a text part
  bool has_file_name = false;
  QByteArray content_type;
  QByteArray content;
};

// The boundary named by a Content-Type header, or nothing.
std::optional<QByteArray> MultipartBoundary(const QByteArray& content_type);

// The parts, or nothing when the body is not well formed (no opening
// delimiter, a part without its header block, no closing delimiter).
std::optional<QList<FormPart>> ParseMultipart(const QByteArray& body, const QByteArray& boundary);

const FormPart* FindPart(const QList<FormPart>& parts, const QByteArray& name);
