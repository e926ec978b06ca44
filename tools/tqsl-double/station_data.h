// TQSL's station locations: $TQSLDIR/station_data, by default
// $HOME/.tqsl/station_data, an XML file of <StationData name="..."> entries.
#pragma once

#include <QMap>
#include <QString>
#include <optional>

QString StationDataPath();

// Each location's name with its fields (CALL, GRIDSQUARE, ...), or nothing when
// the file cannot be read or parsed; *error then says why.
std::optional<QMap<QString, QMap<QString, QString>>> ReadStationData(const QString& path,
                                                                     QString* error);
