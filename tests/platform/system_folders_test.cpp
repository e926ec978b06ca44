#include "platform/system_folders.h"

#include <gtest/gtest.h>

#include <QDir>

TEST(SpecialFolders, StationDataFollowsTqslDirElseHome) {
  EXPECT_EQ(TqslStationDataPath(), QDir::homePath() + "/.tqsl/station_data");
  qputenv("TQSLDIR", "/srv/tqsl");
  EXPECT_EQ(TqslStationDataPath(), "/srv/tqsl/station_data");
  qunsetenv("TQSLDIR");
}

TEST(SpecialFolders, PrimaryWorkAreaIsTheScreensAvailableArea) {
  EXPECT_FALSE(PrimaryWorkArea().isEmpty());
}
