#include "platform/window_link_protocol.h"

namespace window_link {

QString EscapeField(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '\\':
        out += QLatin1String("\\\\");
        break;
      case '\t':
        out += QLatin1String("\\t");
        break;
      case '\r':
        out += QLatin1String("\\r");
        break;
      case '\n':
        out += QLatin1String("\\n");
        break;
      default:
        out += c;
    }
  }
  return out;
}

QString UnescapeField(const QString& field) {
  QString out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    const QChar c = field.at(i);
    if (c != u'\\' || i + 1 == field.size()) {
      out += c;
      continue;
    }
    const QChar next = field.at(i + 1);
    switch (next.unicode()) {
      case '\\':
        out += u'\\';
        break;
      case 't':
        out += u'\t';
        break;
      case 'r':
        out += u'\r';
        break;
      case 'n':
        out += u'\n';
        break;
      default:
        out += c;
        out += next;
    }
    ++i;
  }
  return out;
}

QByteArray EncodeLine(const QStringList& fields) {
  QStringList escaped;
  escaped.reserve(fields.size());
  for (const QString& field : fields) escaped << EscapeField(field);
  return escaped.join(u'\t').toUtf8() + '\n';
}

QStringList DecodeLine(const QByteArray& line) {
  QByteArray body = line;
  if (body.endsWith('\n')) body.chop(1);
  if (body.endsWith('\r')) body.chop(1);
  QStringList fields = QString::fromUtf8(body).split(u'\t');
  for (QString& field : fields) field = UnescapeField(field);
  return fields;
}

QString NumberField(qint64 value) { return QString::number(value); }

QString HandleField(WindowHandle handle) { return QString::number(handle); }

qint64 ParseNumber(const QString& field, bool* ok) {
  bool parsed = false;
  const qint64 value = field.toLongLong(&parsed, 10);
  if (ok != nullptr) *ok = parsed;
  return parsed ? value : 0;
}

WindowHandle ParseHandle(const QString& field, bool* ok) {
  bool parsed = false;
  const qulonglong value = field.toULongLong(&parsed, 10);
  if (ok != nullptr) *ok = parsed;
  return parsed ? static_cast<WindowHandle>(value) : 0;
}

}  // namespace window_link
