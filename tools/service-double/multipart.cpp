#include "multipart.h"

namespace {

// The value of name="..." (a doubled quote inside stands for one quote).
std::optional<QByteArray> QuotedParameter(const QByteArray& header, const QByteArray& key) {
  const QByteArray lower = header.toLower();
  qsizetype pos = 0;
  while ((pos = lower.indexOf(key + "=\"", pos)) >= 0) {
    // Only a whole parameter name: "name" must not match inside "filename".
    if (pos > 0 && lower[pos - 1] != ' ' && lower[pos - 1] != ';') {
      pos += key.size();
      continue;
    }
    QByteArray value;
    for (qsizetype i = pos + key.size() + 2; i < header.size(); ++i) {
      if (header[i] != '"') {
        value += header[i];
      } else if (i + 1 < header.size() && header[i + 1] == '"') {
        value += '"';
        ++i;
      } else {
        return value;
      }
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<QByteArray> MultipartBoundary(const QByteArray& content_type) {
  if (!content_type.toLower().startsWith("multipart/form-data")) return std::nullopt;
  const qsizetype pos = content_type.toLower().indexOf("boundary=");
  if (pos < 0) return std::nullopt;
  QByteArray boundary = content_type.mid(pos + 9);
  const qsizetype end = boundary.indexOf(';');
  if (end >= 0) boundary.truncate(end);
  boundary = boundary.trimmed();
  if (boundary.size() >= 2 && boundary.startsWith('"') && boundary.endsWith('"')) {
    boundary = boundary.mid(1, boundary.size() - 2);
  }
  if (boundary.isEmpty()) return std::nullopt;
  return boundary;
}

std::optional<QList<FormPart>> ParseMultipart(const QByteArray& body, const QByteArray& boundary) {
  const QByteArray delimiter = "--" + boundary;
  if (!body.startsWith(delimiter)) return std::nullopt;
  QList<FormPart> parts;
  qsizetype pos = delimiter.size();
  for (;;) {
    if (body.mid(pos, 2) == "--") return parts;
    if (body.mid(pos, 2) != "\r\n") return std::nullopt;
    pos += 2;
    const qsizetype headers_end = body.indexOf("\r\n\r\n", pos);
    if (headers_end < 0) return std::nullopt;
    FormPart part;
    for (const QByteArray& line : body.mid(pos, headers_end - pos).split('\n')) {
      const QByteArray header = line.trimmed();
      const QByteArray lower = header.toLower();
      if (lower.startsWith("content-disposition:")) {
        part.name = QuotedParameter(header, "name").value_or(QByteArray());
        const std::optional<QByteArray> file_name = QuotedParameter(header, "filename");
        part.has_file_name = file_name.has_value();
        part.file_name = file_name.value_or(QByteArray());
      } else if (lower.startsWith("content-type:")) {
        part.content_type = header.mid(13).trimmed();
      }
    }
    const qsizetype content_start = headers_end + 4;
    const qsizetype next = body.indexOf(delimiter, content_start);
    if (next < 0) return std::nullopt;
    part.content = body.mid(content_start, next - content_start);
    // The line end before a delimiter belongs to the delimiter.
    if (part.content.endsWith("\r\n")) part.content.chop(2);
    parts.append(part);
    pos = next + delimiter.size();
  }
}

const FormPart* FindPart(const QList<FormPart>& parts, const QByteArray& name) {
  for (const FormPart& part : parts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}
