// The remembered run keeps the records that matched nothing, not the report.
#include "confirmations/unmatched_run_memory.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/text_codec.h"

namespace {

class UnmatchedRunMemoryTest : public ::testing::Test {
 protected:
  QString Folder() const { return dir_.path() + u'/'; }

  // Remembers `lines` as a Qorv import whose run noted the given line numbers.
  std::optional<RememberedRun> RememberAndRecall(const QStringList& lines,
                                                 const QList<qsizetype>& noted) {
    const QStringList error_list(noted.size() * 2, QStringLiteral("Error"));
    RememberUnmatchedRun(Folder(), UnmatchedRunKind::kQorvImport, QStringLiteral("/r.adi"), lines,
                         {error_list, noted});
    return RecallUnmatchedRun(Folder(), false);
  }

  QTemporaryDir dir_;
};

TEST_F(UnmatchedRunMemoryTest, KeepsOnlyTheRecordsTheRunNotedAndCountsThemAll) {
  const QStringList report = {
      "Status Report", "<APP_Qorv_NUMREC:1>3", "<eoh>",       "<CALL:4>K1AA", "<BAND:3>20M",
      "<eor>",         "<CALL:4>K2BB",         "<BAND:3>40M", "<EOR>",        "<CALL:4>K3CC",
      "<eor>",         "trailing text"};
  const QStringList inbox = {"<EOH>", "<CALL:2>A1<EOR>", "<CALL:2>B2<EOR><CALL:2>C3",
                             "<BAND:3>20M<EOR>", "<CALL:2>D4<EOR>"};
  const struct Case {
    const char* what;
    QStringList lines;
    QList<qsizetype> noted;
    QStringList kept;
    int records;
  } cases[] = {
      {"the second record of a report", report, {9}, {"<CALL:4>K2BB", "<BAND:3>40M", "<EOR>"}, 3},
      {"the first and the last: the header's end goes with the first",
       report,
       {6, 11},
       {"<eoh>", "<CALL:4>K1AA", "<BAND:3>20M", "<eor>", "<CALL:4>K3CC", "<eor>"},
       3},
      {"a record that begins after another's end on the same line",
       inbox,
       {4},
       {"<CALL:2>C3", "<BAND:3>20M<EOR>"},
       4},
      {"a line noted where one record ends and the next begins marks both",
       inbox,
       {3},
       {"<CALL:2>B2<EOR>", "<CALL:2>C3", "<BAND:3>20M<EOR>"},
       4},
      {"records before the last header end are none",
       {"<CALL:2>X9<EOR>", "junk <EOH> <CALL:2>E5<EOR>"},
       {1, 2},
       {"junk <EOH> <CALL:2>E5<EOR>"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<RememberedRun> run = RememberAndRecall(c.lines, c.noted);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->lines, c.kept);
    EXPECT_EQ(run->records_read, c.records);
    EXPECT_EQ(run->source, "/r.adi");
  }
}

TEST_F(UnmatchedRunMemoryTest, AFileKeptWithEveryLineIsStillRecalledWhole) {
  WriteFileBytes(Folder() + "UnmatchedQorvRun.txt",
                 "qorvsync unmatched run\tqorv-download\t2026-12-01T10:00:00Z\t/s.adi\r\n"
                 "<CALL:4>K1AA<eor>\r\n<CALL:4>K2BB<eor>\r\n");
  const std::optional<RememberedRun> run = RecallUnmatchedRun(Folder(), false);
  ASSERT_TRUE(run.has_value());
  EXPECT_EQ(run->lines, (QStringList{"<CALL:4>K1AA<eor>", "<CALL:4>K2BB<eor>"}));
  EXPECT_FALSE(run->records_read.has_value());

  // A fifth field that is not a count is not one of ours.
  WriteFileBytes(Folder() + "UnmatchedQorvRun.txt",
                 "qorvsync unmatched run\tqorv-download\t2026-12-01T10:00:00Z\t/s.adi\tx\r\n");
  EXPECT_FALSE(RecallUnmatchedRun(Folder(), false).has_value());
}

}  // namespace
