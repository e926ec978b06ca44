#include <gtest/gtest.h>
#include <sqlite3.h>

#include "log_fixture.h"
#include "logdb/log_database.h"
#include "logdb/sqlite_statement.h"
#include "logdb/staged_changes.h"
#include "logdb/table_indexes.h"

namespace {

using CallMatch = QsoLookup::CallMatch;

QString Date(int day) { return QDate(2020, 1, 1).addDays(day).toString(Qt::ISODate); }

QsoLookup Lookup(int day, const char* call, CallMatch match = CallMatch::kEqual) {
  return {QDate(2020, 1, 1).addDays(day),
          14,
          QLatin1String(call),
          match,
          QStringLiteral("11:50"),
          QStringLiteral("12:10"),
          QStringLiteral("FT8")};
}

// Every QSO at 12:00 on 14 MHz in FT8.
Qso At(int day, const char* call) {
  Qso qso;
  qso.QSODate = Date(day);
  qso.QSOTime = QStringLiteral("12:00");
  qso.CallSign = QLatin1String(call);
  qso.DigiBand = 14;
  qso.QSOMode = QStringLiteral("FT8");
  return qso;
}

class LookupCostTest : public LogFixture {
 protected:
  // `busy` QSOs with the busy call, one a day, and `others` QSOs with other
  // calls; the QSO looked for (day 5000, "EA8W") in their middle.
  void MakeLog(const QString& table, int busy, int others, bool date_index) {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(table, date_index);
    if (!date_index) {
      writer.Execute(
          QStringLiteral("CREATE INDEX \"%1_CallSign\" ON \"%1\" (CallSign)").arg(table));
    }
    QList<Qso> qsos;
    for (int i = 0; i < busy; ++i) qsos << At(i, "EA8W");
    qsos << At(5000, "EA8W");
    for (int i = 0; i < others; ++i) qsos << At(i % 300, i % 2 ? "G4ABC" : "DL1XYZ");
    writer.InsertQsos(table, qsos);
  }

  // SQLite's steps for one look-up, with its statement prepared before.
  int StepsOf(const QString& table, const QsoLookup& lookup, qint64* rowid) {
    const std::optional<FoundQso> first = db_.FindQso(table, lookup);
    sqlite3* handle = SqliteHandle(db_.Connection());
    int steps = 0;
    sqlite3_progress_handler(
        handle, 1,
        [](void* counter) {
          ++*static_cast<int*>(counter);
          return 0;
        },
        &steps);
    const std::optional<FoundQso> found = db_.FindQso(table, lookup);
    sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    *rowid = found ? found->rowid : 0;
    EXPECT_EQ(first.has_value(), found.has_value());
    return steps;
  }

  LogDatabase db_;
};

// A log of a million QSOs has calls worked hundreds of times; a look-up that
// visited each of them cost more the bigger the log.
TEST_F(LookupCostTest, LookupCostDoesNotGrowWithTheQsosOfTheCall) {
  MakeLog(QStringLiteral("Log_Few"), 20, 0, true);
  MakeLog(QStringLiteral("Log_Many"), 3000, 0, true);
  db_.OpenLogDatabase(Path());
  for (const CallMatch match : {CallMatch::kEqual, CallMatch::kPrefix}) {
    SCOPED_TRACE(match == CallMatch::kEqual ? "equal" : "prefix");
    qint64 few_row = 0;
    qint64 many_row = 0;
    const int few = StepsOf(QStringLiteral("Log_Few"), Lookup(5000, "EA8W", match), &few_row);
    const int many = StepsOf(QStringLiteral("Log_Many"), Lookup(5000, "EA8W", match), &many_row);
    EXPECT_EQ(few_row, 21);
    EXPECT_EQ(many_row, 3001);
    EXPECT_LT(many, few * 2) << few << " steps against " << many;
  }
}

// A call looked up as a prefix (eQSL) cannot search the call index by
// equality; through the date index it read every QSO of the date, and a big
// log has hundreds on each day.
TEST_F(LookupCostTest, PrefixLookupCostDoesNotGrowWithTheQsosOfTheDate) {
  for (const auto& [table, others] : {std::pair{"Log_Quiet", 5}, std::pair{"Log_Busy", 3000}}) {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(QLatin1String(table));
    QList<Qso> qsos;
    for (int i = 0; i < others; ++i) qsos << At(5000, i % 2 ? "G4ABC" : "DL1XYZ");
    qsos << At(5000, "ea8w/p");
    writer.InsertQsos(QLatin1String(table), qsos);
  }
  db_.OpenLogDatabase(Path());
  qint64 quiet_row = 0;
  qint64 busy_row = 0;
  const QsoLookup lookup = Lookup(5000, "EA8W", CallMatch::kPrefix);
  const int quiet = StepsOf(QStringLiteral("Log_Quiet"), lookup, &quiet_row);
  const int busy = StepsOf(QStringLiteral("Log_Busy"), lookup, &busy_row);
  EXPECT_EQ(quiet_row, 6);
  EXPECT_EQ(busy_row, 3001);
  EXPECT_LT(busy, quiet * 2) << quiet << " steps against " << busy;
}

// A call index that compares letter case cannot serve the prefix, which
// LIKE finds in any case: the look-up then goes by the date. Either way the
// same rows are found.
TEST_F(LookupCostTest, PrefixFoundInAnyCaseWhateverTheCallIndex) {
  for (const bool binary : {true, false}) {
    const QString table = binary ? QStringLiteral("Log_Binary") : QStringLiteral("Log_NoCase");
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(table, !binary);
    if (binary) {
      writer.Execute(
          QStringLiteral("CREATE INDEX Log_Binary_Call ON Log_Binary (CallSign COLLATE "
                         "BINARY)"));
      writer.Execute(QStringLiteral("CREATE INDEX Log_Binary_Date ON Log_Binary (QSODate)"));
    }
    Qso umlaut = At(5000, "");
    umlaut.CallSign = QStringLiteral("EA8W\u00c4");
    writer.InsertQsos(table, {At(5000, "EA8WX"), At(5000, "ea8w/p"), umlaut, At(4999, "EA8W")});
  }
  db_.OpenLogDatabase(Path());
  struct Case {
    const char16_t* call;
    qint64 expected;
  };
  // "EA8W" + U+00C4 ends in bytes above those of "EA8WX": the range a prefix
  // reads must still hold it.
  const Case cases[] = {{u"EA8W", 1}, {u"ea8w/", 2}, {u"EA8W\u00c4", 3}, {u"EA8X", 0}, {u"", 1}};
  for (const QString& table : {QStringLiteral("Log_Binary"), QStringLiteral("Log_NoCase")}) {
    for (const Case& c : cases) {
      QsoLookup lookup = Lookup(5000, "", CallMatch::kPrefix);
      lookup.call = QString::fromUtf16(c.call);
      const std::optional<FoundQso> found = db_.FindQso(table, lookup);
      EXPECT_EQ(found ? found->rowid : 0, c.expected)
          << table.toStdString() << " " << lookup.call.toStdString();
    }
  }
}

// A report asks date after date, hundreds of times each in a big log: a
// busy date's calls are then read into memory and only the rows they point
// to are asked. Every look-up finds the row the log's indexes find, before
// and after the date has proved busy, and a call the date lacks costs no
// search at all.
class BusyDateTest : public LookupCostTest {
 protected:
  struct Case {
    const char16_t* call;
    CallMatch match;
    qint64 expected;
  };

  void SetUp() override {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(table_);
    QList<Qso> qsos = {At(5000, "")};
    for (int i = 0; i < 300; ++i) qsos << At(5000, i % 2 ? "G4ABC" : "DL1XYZ");
    Qso umlaut = At(5000, "");
    umlaut.CallSign = QStringLiteral("EA8W\u00c4");
    Qso other_mode = At(5000, "K1AB");
    other_mode.QSOMode = QStringLiteral("SSB");
    Qso late = At(5000, "K1AB");
    late.QSOTime = QStringLiteral("13:00");
    qsos << At(5000, "ea8w/p") << At(5000, "EA8W") << At(5000, "EA8WX") << umlaut
         << At(5000, "K1_B") << At(5000, "K1%B") << other_mode << late << At(5000, "k1ab")
         << At(4999, "N0CALL") << At(5001, "N0CALL");
    writer.InsertQsos(table_, qsos);
    writer.Execute(QStringLiteral("UPDATE Log_Busy SET CallSign = NULL WHERE ID = 1"));
    db_.OpenLogDatabase(Path());
  }

  qint64 Find(const Case& c) {
    QsoLookup lookup = Lookup(5000, "", c.match);
    lookup.call = QString::fromUtf16(c.call);
    const std::optional<FoundQso> found = db_.FindQso(table_, lookup);
    return found ? found->rowid : 0;
  }

  // Enough look-ups of the date, which spans 310 rowids, to read its calls.
  void AskEveryCase(int times) {
    for (int pass = 0; pass < times; ++pass) {
      for (const Case& c : cases_) Find(c);
    }
  }

  const QString table_ = QStringLiteral("Log_Busy");
  // Row 1 has no call, rows 2 to 301 fill the date, the rest follow in order.
  const std::vector<Case> cases_ = {
      {u"EA8W", CallMatch::kPrefix, 302},       {u"EA8W", CallMatch::kEqual, 303},
      {u"ea8w", CallMatch::kEqual, 303},        {u"EA8W/", CallMatch::kPrefix, 302},
      {u"EA8W\u00c4", CallMatch::kPrefix, 305}, {u"ea8w\u00e4", CallMatch::kPrefix, 0},
      {u"K1_B", CallMatch::kPrefix, 306},       {u"K1%B", CallMatch::kPrefix, 307},
      {u"K1", CallMatch::kPrefix, 306},         {u"K1AB", CallMatch::kEqual, 310},
      {u"K1AB", CallMatch::kPrefix, 310},       {u"", CallMatch::kPrefix, 2},
      {u"G4", CallMatch::kPrefix, 3},           {u"N0CALL", CallMatch::kEqual, 0},
      {u"ZZ9", CallMatch::kPrefix, 0},
  };
};

TEST_F(BusyDateTest, RowsFoundAreTheRowsTheIndexesFind) {
  for (const Case& c : cases_) {
    EXPECT_EQ(Find(c), c.expected) << "alone: " << QString::fromUtf16(c.call).toStdString();
  }
  StagedChanges staged;
  db_.HoldBackChanges(&staged);
  for (int pass = 0; pass < 5; ++pass) {
    for (const Case& c : cases_) {
      EXPECT_EQ(Find(c), c.expected)
          << "pass " << pass << ": " << QString::fromUtf16(c.call).toStdString();
    }
  }
  for (const CallMatch match : {CallMatch::kEqual, CallMatch::kPrefix}) {
    qint64 rowid = -1;
    EXPECT_EQ(StepsOf(table_, Lookup(5000, "W1AW", match), &rowid), 0);
    EXPECT_EQ(rowid, 0);
  }
  db_.HoldBackChanges(nullptr);
}

// What was read of a date holds for one transaction: a QSO the logbook adds
// afterwards, or a call the program itself changes, is found at once.
TEST_F(BusyDateTest, QsosAddedOrChangedAreFound) {
  StagedChanges staged;
  db_.HoldBackChanges(&staged);
  AskEveryCase(3);
  const Case added = {u"W1AW", CallMatch::kPrefix, 0};
  EXPECT_EQ(Find(added), 0);
  db_.HoldBackChanges(nullptr);
  LogbookDatabaseWriter(Path()).InsertQsos(table_, {At(5000, "W1AW")});
  db_.HoldBackChanges(&staged);
  EXPECT_EQ(Find(added), 313);
  db_.HoldBackChanges(nullptr);

  LogDatabase::WriteBatch batch(db_);
  db_.ChangeRow(table_, 2, {{QStringLiteral("QorvRec"), true}});
  AskEveryCase(1);
  const Case renamed = {u"VK9X", CallMatch::kEqual, 0};
  EXPECT_EQ(Find(renamed), 0);
  db_.ChangeRow(table_, 4, {{QStringLiteral("CallSign"), QStringLiteral("VK9X")}});
  EXPECT_EQ(Find(renamed), 4);
}

// Without a date index the rowid range of the date would be a scan of the
// table at every look-up; the call index alone then decides.
TEST_F(LookupCostTest, LogWithoutDateIndexIsNotScanned) {
  MakeLog(QStringLiteral("Log_Small"), 5, 20, false);
  MakeLog(QStringLiteral("Log_Large"), 5, 6000, false);
  db_.OpenLogDatabase(Path());
  qint64 small_row = 0;
  qint64 large_row = 0;
  const int small = StepsOf(QStringLiteral("Log_Small"), Lookup(5000, "EA8W"), &small_row);
  const int large = StepsOf(QStringLiteral("Log_Large"), Lookup(5000, "EA8W"), &large_row);
  EXPECT_EQ(small_row, 6);
  EXPECT_EQ(large_row, 6);
  EXPECT_LT(large, small * 2) << small << " steps against " << large;
}

// Rowids need not follow the dates: a log may have been entered in any
// order. Both forms of the log give the same answers.
TEST_F(LookupCostTest, DatesOutOfRowidOrderAreFound) {
  for (const bool date_index : {true, false}) {
    const QString table = date_index ? QStringLiteral("Log_Indexed") : QStringLiteral("Log_Plain");
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(table, date_index);
    // Day 7 at rowids 1 and 5, other days with the same call between them.
    writer.InsertQsos(table, {At(7, "K1AB"), At(3, "K1AB"), At(9, "K1AB"), At(3, "N0CALL"),
                              At(7, "N0CALL"), At(2, "K1AB")});
  }
  db_.OpenLogDatabase(Path());
  struct Case {
    QsoLookup lookup;
    qint64 expected;
  };
  const Case cases[] = {
      {Lookup(7, "K1AB"), 1}, {Lookup(7, "N0CALL"), 5},
      {Lookup(7, "N0"), 0},   {Lookup(7, "N0", CallMatch::kPrefix), 5},
      {Lookup(3, "K1AB"), 2}, {Lookup(3, "N0CALL"), 4},
      {Lookup(2, "K1AB"), 6}, {Lookup(9, "N0CALL"), 0},
      {Lookup(8, "K1AB"), 0},
  };
  for (const QString& table : {QStringLiteral("Log_Indexed"), QStringLiteral("Log_Plain")}) {
    for (const Case& c : cases) {
      const std::optional<FoundQso> found = db_.FindQso(table, c.lookup);
      EXPECT_EQ(found ? found->rowid : 0, c.expected)
          << table.toStdString() << " " << c.lookup.date.toString(Qt::ISODate).toStdString() << " "
          << c.lookup.call.toStdString();
    }
  }
}

TEST(TableIndexesTest, IndexLeadingWithColumn) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  const char* schema[] = {
      "CREATE TABLE plain (ID INTEGER PRIMARY KEY, QSODate TEXT COLLATE NOCASE, CallSign TEXT)",
      "CREATE TABLE single (ID INTEGER PRIMARY KEY, QSODate TEXT COLLATE NOCASE)",
      "CREATE INDEX single_date ON single (qsodate)",
      "CREATE TABLE leading (ID INTEGER PRIMARY KEY, QSODate TEXT, CallSign TEXT)",
      "CREATE INDEX leading_date ON leading (QSODate, CallSign)",
      "CREATE TABLE second (ID INTEGER PRIMARY KEY, QSODate TEXT, CallSign TEXT)",
      "CREATE INDEX second_date ON second (CallSign, QSODate)",
      "CREATE TABLE partial (ID INTEGER PRIMARY KEY, QSODate TEXT)",
      "CREATE INDEX partial_date ON partial (QSODate) WHERE ID > 10",
      "CREATE TABLE other_collation (ID INTEGER PRIMARY KEY, QSODate TEXT COLLATE NOCASE)",
      "CREATE INDEX other_collation_date ON other_collation (QSODate COLLATE BINARY)",
      "CREATE TABLE \"odd \"\"name\" (ID INTEGER PRIMARY KEY, QSODate TEXT)",
      "CREATE UNIQUE INDEX odd_date ON \"odd \"\"name\" (QSODate)",
      "CREATE TABLE nocase_index (ID INTEGER PRIMARY KEY, QSODate TEXT)",
      "CREATE INDEX nocase_index_date ON nocase_index (QSODate COLLATE NOCASE)",
  };
  for (const char* sql : schema) ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), 0);
  const std::pair<const char*, bool> cases[] = {
      {"plain", false},     {"single", true},         {"leading", true},
      {"second", false},    {"partial", false},       {"other_collation", false},
      {"odd \"name", true}, {"no_such_table", false}, {"nocase_index", false},
  };
  for (const auto& [table, expected] : cases) {
    EXPECT_EQ(HasIndexLeadingWith(db, QString::fromUtf8(table), QStringLiteral("QSODate")),
              expected)
        << table;
  }
  EXPECT_FALSE(HasIndexLeadingWith(db, QStringLiteral("single"), QStringLiteral("NoColumn")));
  // The prefix range needs an index that compares without letter case,
  // whatever the column's own collation.
  const std::pair<const char*, const char*> nocase_cases[] = {
      {"single", "single_date"}, {"leading", ""},       {"other_collation", ""},
      {"partial", ""},           {"no_such_table", ""}, {"nocase_index", "nocase_index_date"},
  };
  for (const auto& [table, expected] : nocase_cases) {
    EXPECT_EQ(NoCaseIndexLeadingWith(db, QString::fromUtf8(table), QStringLiteral("QSODate")),
              QString::fromUtf8(expected))
        << table;
  }
  sqlite3_close(db);
}

}  // namespace
