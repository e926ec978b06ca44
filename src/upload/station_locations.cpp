#include "upload/station_locations.h"

#include <QStringDecoder>

#include "platform/text_codec.h"

namespace {

QString DecodeStationData(const QByteArray& bytes) {
  const DecodedText by_mark = DecodeText(bytes);
  if (by_mark.encoding != TextEncoding::kAnsi) return by_mark.text;
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(bytes);
  return utf8.hasError() ? by_mark.text : text;
}

// TQSL writes a name as XML: "&amp;" in the file is "&" in the name TQSL
// expects back. One pass, so "&amp;lt;" stays "&lt;".
QString DecodeXmlEntities(const QString& text) {
  static const struct {
    QLatin1String entity;
    QChar character;
  } kEntities[] = {{QLatin1String("&amp;"), u'&'},
                   {QLatin1String("&lt;"), u'<'},
                   {QLatin1String("&gt;"), u'>'},
                   {QLatin1String("&quot;"), u'"'},
                   {QLatin1String("&apos;"), u'\''}};
  QString decoded;
  decoded.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    bool replaced = false;
    if (text.at(i) == u'&') {
      for (const auto& e : kEntities) {
        if (QStringView(text).mid(i).startsWith(e.entity)) {
          decoded += e.character;
          i += e.entity.size() - 1;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) decoded += text.at(i);
  }
  return decoded;
}

}  // namespace

QStringList StationLocationNames(const QString& station_data) {
  static const QString kStart = QStringLiteral("<StationData name=\"");
  static const QString kEnd = QStringLiteral("\">");
  QStringList names;
  qsizetype from = 0;
  for (;;) {
    const qsizetype start = station_data.indexOf(kStart, from, Qt::CaseSensitive);
    if (start < 0) break;
    const qsizetype name_start = start + kStart.size();
    const qsizetype end = station_data.indexOf(kEnd, name_start, Qt::CaseSensitive);
    if (end < 0) break;
    names.append(DecodeXmlEntities(station_data.mid(name_start, end - name_start)));
    from = end + kEnd.size();
  }
  return names;
}

QStringList ReadStationLocations(const QString& path) {
  return StationLocationNames(DecodeStationData(ReadFileBytes(path)));
}
