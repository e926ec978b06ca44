#include "upload/station_locations.h"

#include "platform/text_codec.h"

namespace {

QString DecodeStationData(const QByteArray& bytes) { return DecodeTextDetectingUtf8(bytes).text; }

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
    names.append(station_data.mid(name_start, end - name_start));
    from = end + kEnd.size();
  }
  return names;
}

QStringList ReadStationLocations(const QString& path) {
  return StationLocationNames(DecodeStationData(ReadFileBytes(path)));
}
