#ifndef QORVSYNC_UPLOAD_STATION_LOCATIONS_H_
#define QORVSYNC_UPLOAD_STATION_LOCATIONS_H_

#include <QString>
#include <QStringList>

// TQSL's station locations, as listed in the "TQSL Station Location Name" box.

// Every name of a '<StationData name="' entry (the tag compared with its case),
// up to the next '">' (a name may run across a line break), in file order,
// duplicates kept, the five XML entities (&amp; &lt; &gt; &quot; &apos;)
// decoded.
QStringList StationLocationNames(const QString& station_data);

// The names from TQSL's station data file. The file is read by its
// byte-order mark, else as UTF-8 (as TQSL writes it) when it is valid UTF-8,
// else in the ANSI code page. Error: 'Cannot open file "<path>". <reason>'.
QStringList ReadStationLocations(const QString& path);

#endif  // QORVSYNC_UPLOAD_STATION_LOCATIONS_H_
