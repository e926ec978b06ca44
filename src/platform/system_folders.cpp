#include "platform/system_folders.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

QString TqslStationDataPath() {
  const QString tqsl_dir = qEnvironmentVariable("TQSLDIR");
  const QString folder =
      tqsl_dir.isEmpty() ? QDir::homePath() + QStringLiteral("/.tqsl") : tqsl_dir;
  return folder + QStringLiteral("/station_data");
}

QRect PrimaryWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}
