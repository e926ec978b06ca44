// The end of an eQSL run: the received-since date moved and stored, the error
// file only when there are errors; and the "Ignore List" button.
#include "eqsl/inbox_finish.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

#include "eqsl/ignore_list.h"
#include "eqsl_fixture.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "session/logbook_registry_keys.h"

namespace {

class InboxFinishTest : public EqslFixture {
 protected:
  static QString StoredDate() {
    Registry registry;
    EXPECT_TRUE(registry.OpenKey(kSendQsosKey, false));
    return registry.ReadString(kEqslSinceValue);
  }

  const QDateTime press_{QDate(2021, 10, 20), QTime(0, 15), QTimeZone::utc()};
};

TEST_F(InboxFinishTest, DateMovesToTheDayOfThePressOrTheRangeEndButNeverPastThePress) {
  struct Case {
    bool range;
    QDate range_end;
    QDate expected;
    const char* stored;
  };
  const Case cases[] = {
      {false, QDate(2021, 3, 15), QDate(2021, 10, 20), "44489.3125"},  // 07:30 kept
      {true, QDate(2021, 3, 15), QDate(2021, 3, 15), "44270.3125"},
      // A range ending later would make every later run ask from its end and
      // find nothing: the date stops at the UTC day of the press.
      {true, QDate(2099, 1, 1), QDate(2021, 10, 20), "44489.3125"},
      {true, QDate(2021, 10, 21), QDate(2021, 10, 20), "44489.3125"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range_end.toString(Qt::ISODate).toStdString());
    page_ = FakeEqslPage();
    page_.load_from_date = c.range;
    page_.range_end = c.range_end;
    TakeOutcome({true, 0, {}, {}, FinishInboxRun(page_, press_, {}, ProgramFolder(), ui_)});
    EXPECT_EQ(page_.received_since, QDateTime(c.expected, QTime(7, 30)));
    EXPECT_EQ(StoredDate(), c.stored);
  }
}

TEST_F(InboxFinishTest, ErrorFileIsWrittenAndShownOnlyWhenThereAreErrors) {
  const QString path = ProgramFolder() + "eQSLccError.txt";
  WriteFileBytes(path, "earlier run\r\n");
  FinishInboxRun(page_, press_, {}, ProgramFolder(), ui_);
  EXPECT_EQ(ReadFileBytes(path), "earlier run\r\n");
  EXPECT_TRUE(ui_.text_files.isEmpty());

  FinishInboxRun(page_, press_, {"Error", "15.09.2021 18:30 14 FT8 N\u00d6CALL FT8 "},
                 ProgramFolder(), ui_);
  EXPECT_EQ(ReadFileBytes(path),
            "Error\r\n15.09.2021 18:30 14 FT8 N\xD6"
            "CALL FT8 \r\n");
  EXPECT_EQ(ui_.text_files, QStringList{path});
}

TEST_F(InboxFinishTest, IgnoreListButtonCreatesTheFileOnceAndOpensIt) {
  const QString path = ProgramFolder() + "ignore.txt";
  OpenIgnoreList(ProgramFolder(), ui_);
  EXPECT_TRUE(QFileInfo::exists(path));
  EXPECT_EQ(QFileInfo(path).size(), 0);
  WriteFileBytes(path, "N0CALL\r\n");
  OpenIgnoreList(ProgramFolder(), ui_);
  EXPECT_EQ(ReadFileBytes(path), "N0CALL\r\n");
  EXPECT_EQ(ui_.text_files, QStringList({path, path}));

  // A folder where nothing can be created: nothing is opened.
  OpenIgnoreList(ProgramFolder() + "missing/", ui_);
  EXPECT_EQ(ui_.text_files.size(), 2);
}

TEST_F(InboxFinishTest, IgnoreListIsReadAsItStands) {
  EXPECT_TRUE(LoadIgnoreList(ProgramFolder()).isEmpty());
  WriteFileBytes(ProgramFolder() + "ignore.txt",
                 "\xEF\xBB\xBFk1abc \r\n\r\nN\xC3\x96"
                 "CALL\rW9X\n");
  EXPECT_EQ(LoadIgnoreList(ProgramFolder()), QStringList({"k1abc ", "", "N\u00d6CALL", "W9X"}));
}

}  // namespace
