#include "station_data.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

QString StationDataPath() {
  const QByteArray dir = qgetenv("TQSLDIR");
  if (!dir.isEmpty()) return QString::fromLocal8Bit(dir) + "/station_data";
  return QDir::homePath() + "/.tqsl/station_data";
}

std::optional<QMap<QString, QMap<QString, QString>>> ReadStationData(const QString& path,
                                                                     QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return std::nullopt;
  }
  QMap<QString, QMap<QString, QString>> locations;
  QXmlStreamReader xml(&file);
  QString current;
  bool in_location = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"StationData") {
      current = xml.attributes().value("name").toString();
      locations[current];
      in_location = true;
    } else if (xml.isEndElement() && xml.name() == u"StationData") {
      in_location = false;
    } else if (xml.isStartElement() && in_location) {
      const QString field = xml.name().toString();
      locations[current][field] = xml.readElementText();
    }
  }
  if (xml.hasError()) {
    *error = xml.errorString();
    return std::nullopt;
  }
  return locations;
}
