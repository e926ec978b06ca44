#ifndef QORVSYNC_PLATFORM_SYSTEM_FOLDERS_H_
#define QORVSYNC_PLATFORM_SYSTEM_FOLDERS_H_

#include <QRect>
#include <QString>

// TQSL's list of station locations: $TQSLDIR/station_data, by default
// $HOME/.tqsl/station_data.
QString TqslStationDataPath();

// The primary screen's area without task bars and docks; empty without a
// screen.
QRect PrimaryWorkArea();

#endif  // QORVSYNC_PLATFORM_SYSTEM_FOLDERS_H_
