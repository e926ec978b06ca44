// The diagnostic commands read a log time as the export writes it into the
// upload, so that a QSO is the same QSO on both sides.
#include "cli/log_time.h"

#include <gtest/gtest.h>

#include "upload/export_format.h"

namespace {

TEST(LogTimeTest, ReadsEveryStoredTimeAsTheExportWritesIt) {
  ExportRecordMaker maker(SubmodeTable::FromLines({}));
  for (const char* stored : {"09:05", "9:05", "09:05:59", "9:05:07", "00:00", "23:59", "7:5",
                             " 9:05", "", "24:00", "12:60", "ab", "0905", "12.30"}) {
    SCOPED_TRACE(stored);
    UnsentQso qso;
    qso.CallSign = QStringLiteral("K1ABC");
    qso.QSODate = QStringLiteral("2021-09-20");
    qso.QSOTime = QString::fromLatin1(stored);
    qso.DigiBand = QStringLiteral("14");
    qso.QSOBand = QStringLiteral("14.074");
    qso.QSOMode = QStringLiteral("FT8");
    const std::optional<ExportRecord> exported = maker.Make(qso);
    const std::optional<QTime> read = ReadLogTime(qso.QSOTime);
    ASSERT_EQ(read.has_value(), exported.has_value());
    if (read) {
      EXPECT_EQ(read->toString(QStringLiteral("HHmm")), exported->key.key.time);
    }
  }
  EXPECT_EQ(LogTimeText(QStringLiteral("9:05")), QStringLiteral("09:05"));
  EXPECT_EQ(LogTimeText(QStringLiteral("soon")), QStringLiteral("soon"));
}

}  // namespace
