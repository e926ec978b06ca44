// The since-dates as the logbook keeps them: what one save stores, the read
// gives back, and the other date stays as it was.
#include "session/since_dates.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/registry.h"

namespace {

class SinceDatesTest : public testing::Test {
 protected:
  void SetUp() override { QFile::remove(Registry::DefaultFile()); }
  void TearDown() override { QFile::remove(Registry::DefaultFile()); }

  static QString Stored(const QString& value) {
    Registry registry;
    EXPECT_TRUE(
        registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv"), false));
    return registry.ReadString(value);
  }
};

TEST_F(SinceDatesTest, SavedAsTheLogbookKeepsThemAndReadBack) {
  EXPECT_EQ(ReadSinceDate(SinceDate::kQorv), std::nullopt);
  const QDateTime noon(QDate(2023, 3, 15), QTime(12, 0));
  SaveSinceDate(SinceDate::kQorv, noon);
  EXPECT_EQ(Stored(QStringLiteral("QorvDate_Date")), "45000.5");
  EXPECT_EQ(ReadSinceDate(SinceDate::kQorv), noon);
  EXPECT_EQ(ReadSinceDate(SinceDate::kEqsl), std::nullopt);

  const QDateTime midnight(QDate(2024, 6, 1), QTime(0, 0));
  SaveSinceDate(SinceDate::kEqsl, midnight);
  EXPECT_EQ(Stored(QStringLiteral("eQSLDate_Date")), "45444");
  EXPECT_EQ(ReadSinceDate(SinceDate::kEqsl), midnight);
  EXPECT_EQ(ReadSinceDate(SinceDate::kQorv), noon);
}

}  // namespace
