#include <gtest/gtest.h>

#include "log_fixture.h"
#include "logdb/log_database.h"
#include "logdb/staged_changes.h"
#include "platform/app_error.h"

namespace {

using CallMatch = QsoLookup::CallMatch;

const char kTrickyTable[] = "Log\"; DROP TABLE Log_Home; --";

// The unsent rows as read, each checked against the number told before them.
QList<UnsentQso> ReadAllUnsent(LogDatabase& db, const QString& table) {
  qint64 count = -1;
  QList<UnsentQso> rows;
  db.ReadUnsent(
      table, [&](qint64 unsent) { count = unsent; },
      [&](const UnsentQso& row) {
        rows.append(row);
        return true;
      });
  EXPECT_EQ(count, rows.size());
  return rows;
}

class LookupAndChangeTest : public LogFixture {
 protected:
  void SetUp() override {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(QStringLiteral("Log_Home"));
    writer.InsertQsos(QStringLiteral("Log_Home"),
                      {
                          MakeQso("2021-09-15", "18:24", "ABCDE", 14, "FT8"),          // 1
                          MakeQso("2021-09-15", "12:30", "N0CALL/P", 14, "FT8"),       // 2
                          MakeQso("2021-09-15", "12:30:00", "K1AB", 7, "CW"),          // 3
                          MakeQso("2021-09-15 12:30:00", "12:30", "K2AB", 14, "FT8"),  // 4
                          MakeQso("2021-09-16", "09:00", "N0CALLX", 21, "MFSK FT4"),   // 5
                          MakeQso("2021-09-16", "09:00", "N0CALLX", 21, "FT4"),        // 6
                          MakeQso("2021-09-17", "10:00", "O'HARA", 14, "SSB"),         // 7
                          MakeQso("2021-09-17", "10:00", "AB%CD", 14, "50%_MODE"),     // 8
                      });
    // A band the logbook stored as text.
    writer.Execute(
        QStringLiteral("INSERT INTO Log_Home (ID, QSODate, QSOTime, CallSign, DigiBand, QSOMode) "
                       "VALUES (9, '2021-09-18', '20:00', 'G3XYZ', '3.5', 'SSB')"));
    // A log whose first column may be empty.
    writer.Execute(QStringLiteral(
        "CREATE TABLE Log_Keys (Key TEXT, QSODate TEXT, QSOTime TEXT, CallSign TEXT, "
        "DigiBand REAL, QSOMode TEXT, QorvRec INTEGER)"));
    writer.Execute(QStringLiteral(
        "INSERT INTO Log_Keys VALUES ('', '2021-09-15', '18:24', 'ABCDE', 14, 'FT8', 0), "
        "('k2', '2021-09-15', '18:25', 'ABCDE', 14, 'FT8', 0), "
        "(NULL, '2021-09-16', '18:24', 'ABCDE', 14, 'FT8', 0)"));
    writer.CreateLogTable(QLatin1String(kTrickyTable));
    writer.InsertQsos(QLatin1String(kTrickyTable),
                      {MakeQso("2021-09-15", "18:24", "ABCDE", 14, "FT8")});
    db_.OpenLogDatabase(Path());
  }

  static QsoLookup Lookup(QDate date, double band, const char* call, const char* from,
                          const char* to, const char* mode, CallMatch match = CallMatch::kEqual) {
    return {date,
            band,
            QLatin1String(call),
            match,
            QLatin1String(from),
            QLatin1String(to),
            QLatin1String(mode)};
  }

  // The rowid found, 0 for none.
  qint64 Find(const QString& table, const QsoLookup& lookup) {
    const std::optional<FoundQso> found = db_.FindQso(table, lookup);
    return found ? found->rowid : 0;
  }

  QString Snapshot(const QString& table) const {
    return Peek(QStringLiteral("SELECT group_concat(r, '|') FROM (SELECT quote(QorvRec) || "
                               "quote(QorvRecDate) || quote(Grid) || quote(State4) || "
                               "quote(QorvSent) AS r FROM \"%1\" ORDER BY ID)")
                    .arg(table))
        .toString();
  }

  LogDatabase db_;
};

const QDate k15(2021, 9, 15);
const QDate k16(2021, 9, 16);
const QDate k17(2021, 9, 17);

TEST_F(LookupAndChangeTest, LookupMatchesDateBandCallTimeAndMode) {
  struct Case {
    const char* what;
    QsoLookup lookup;
    qint64 expected;
  };
  const CallMatch kPrefix = CallMatch::kPrefix;
  const Case cases[] = {
      {"all match", Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8"), 1},
      {"call without regard to case", Lookup(k15, 14, "abcde", "18:04", "18:44", "ft8"), 1},
      {"other date", Lookup(k16, 14, "ABCDE", "18:04", "18:44", "FT8"), 0},
      {"other band", Lookup(k15, 7, "ABCDE", "18:04", "18:44", "FT8"), 0},
      {"other mode", Lookup(k15, 14, "ABCDE", "18:04", "18:44", "CW"), 0},
      {"any mode", Lookup(k15, 14, "ABCDE", "18:04", "18:44", ""), 1},
      {"time inside", Lookup(k15, 14, "N0CALL/P", "12:10", "12:50", "FT8"), 2},
      {"lower bound", Lookup(k15, 14, "N0CALL/P", "12:30", "12:50", "FT8"), 2},
      {"upper bound", Lookup(k15, 14, "N0CALL/P", "12:10", "12:30", "FT8"), 2},
      {"time before", Lookup(k15, 14, "N0CALL/P", "12:10", "12:29", "FT8"), 0},
      {"time after", Lookup(k15, 14, "N0CALL/P", "12:31", "12:50", "FT8"), 0},
      {"time with seconds", Lookup(k15, 7, "K1AB", "12:10", "12:50", "CW"), 3},
      {"date carrying a time", Lookup(k15, 14, "K2AB", "12:10", "12:50", "FT8"), 0},
      {"band stored as text", Lookup(QDate(2021, 9, 18), 3.5, "G3XYZ", "19:40", "20:20", "SSB"), 9},
      {"equal call is whole", Lookup(k15, 14, "N0CALL", "12:10", "12:50", "FT8"), 0},
      {"prefix call", Lookup(k15, 14, "N0CALL", "12:10", "12:50", "FT8", kPrefix), 2},
      {"longer call", Lookup(k15, 14, "N0CALL/PX", "12:10", "12:50", "FT8", kPrefix), 0},
      {"first row of two", Lookup(k16, 21, "N0CALLX", "08:40", "09:20", "FT4"), 5},
      {"mode as part", Lookup(k16, 21, "N0CALL", "08:40", "09:20", "FT4", kPrefix), 5},
      {"quote in call", Lookup(k17, 14, "O'HARA", "09:40", "10:20", "SSB"), 7},
      {"quote injection", Lookup(k17, 14, "x' OR '1'='1", "09:40", "10:20", ""), 0},
      {"percent in call", Lookup(k17, 14, "AB%", "09:40", "10:20", "", kPrefix), 8},
      {"percent is no wildcard", Lookup(k17, 14, "%", "09:40", "10:20", "", kPrefix), 0},
      {"underscore is no wildcard", Lookup(k17, 14, "O_HARA", "09:40", "10:20", "", kPrefix), 0},
      {"backslash is plain", Lookup(k17, 14, "AB\\", "09:40", "10:20", "", kPrefix), 0},
      {"percent in mode", Lookup(k17, 14, "AB%CD", "09:40", "10:20", "0%_M"), 8},
      {"mode wildcard", Lookup(k17, 14, "O'HARA", "09:40", "10:20", "%"), 0},
      {"mode underscore", Lookup(k15, 14, "ABCDE", "18:04", "18:44", "F_8"), 0},
      {"mode comment", Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8'; --"), 0},
  };
  // Each case differs from the one before in one thing or a few, so a
  // look-up that kept anything of the one before shows.
  for (const Case& c : cases) {
    EXPECT_EQ(Find(QStringLiteral("Log_Home"), c.lookup), c.expected) << c.what;
  }
}

// Non-ASCII text is bound as UTF-8 by another path than ASCII, and so are
// the LIKE patterns built around it.
TEST_F(LookupAndChangeTest, NonAsciiValuesMatchOnlyThemselves) {
  {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(QStringLiteral("Log_Intl"));
    Qso qso = MakeQso("2021-09-17", "10:00", "", 14, "");
    qso.CallSign = QStringLiteral("\u00d6H%1\u00c4B/P");
    qso.QSOMode = QStringLiteral("MFSK \u00c4_\u00d6");
    writer.InsertQsos(QStringLiteral("Log_Intl"), {qso});
  }
  struct Case {
    const char* what;
    QString call;
    CallMatch match;
    QString mode;
    qint64 expected;
  };
  const Case cases[] = {
      {"whole call", QStringLiteral("\u00d6H%1\u00c4B/P"), CallMatch::kEqual, QString(), 1},
      {"prefix call", QStringLiteral("\u00d6H%1"), CallMatch::kPrefix, QString(), 1},
      {"percent is no wildcard", QStringLiteral("\u00d6H%B"), CallMatch::kPrefix, QString(), 0},
      {"underscore is no wildcard", QStringLiteral("\u00d6H_1"), CallMatch::kPrefix, QString(), 0},
      {"mode as part", QStringLiteral("\u00d6H%1"), CallMatch::kPrefix,
       QStringLiteral("\u00c4_\u00d6"), 1},
      {"mode underscore", QStringLiteral("\u00d6H%1"), CallMatch::kPrefix,
       QStringLiteral("\u00c4x\u00d6"), 0},
  };
  for (const Case& c : cases) {
    QsoLookup lookup = Lookup(k17, 14, "", "09:40", "10:20", "", c.match);
    lookup.call = c.call;
    lookup.mode = c.mode;
    EXPECT_EQ(Find(QStringLiteral("Log_Intl"), lookup), c.expected) << c.what;
  }
}

TEST_F(LookupAndChangeTest, EmptyFirstColumnIsNeverFound) {
  const QString table = QStringLiteral("Log_Keys");
  EXPECT_EQ(Find(table, Lookup(k15, 14, "ABCDE", "18:24", "18:24", "FT8")), 0);
  EXPECT_EQ(Find(table, Lookup(k16, 14, "ABCDE", "18:04", "18:44", "FT8")), 0);
  // Only the first matching row decides, even when a later one has a key.
  EXPECT_EQ(Find(table, Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8")), 0);
  EXPECT_EQ(Find(table, Lookup(k15, 14, "ABCDE", "18:25", "18:44", "FT8")), 2);
}

TEST_F(LookupAndChangeTest, FoundRowReadsItsColumns) {
  const std::optional<FoundQso> found =
      db_.FindQso(QStringLiteral("Log_Home"), Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8"));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->record.fieldName(0), "ID");
  EXPECT_EQ(found->Text(QStringLiteral("callsign")), "ABCDE");
  EXPECT_EQ(found->Text(QStringLiteral("DigiBand")), "14");
  EXPECT_FALSE(found->Truth(QStringLiteral("QorvRec")));
  EXPECT_EQ(found->Text(QStringLiteral("QorvRecDate")), "");
  try {
    found->Text(QStringLiteral("State5"));
    ADD_FAILURE() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), "Field 'State5' not found");
  }

  // Asking for some columns: a missing one fails only when it is read.
  const std::optional<FoundQso> narrow =
      db_.FindQso(QStringLiteral("Log_Home"), Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8"),
                  {QStringLiteral("qorvrec"), QStringLiteral("State9"), QStringLiteral("State")});
  ASSERT_TRUE(narrow);
  EXPECT_EQ(narrow->rowid, 1);
  EXPECT_EQ(narrow->record.count(), 3);
  EXPECT_EQ(narrow->Text(QStringLiteral("ID")), "1");
  EXPECT_FALSE(narrow->Truth(QStringLiteral("QorvRec")));
  EXPECT_EQ(narrow->Text(QStringLiteral("State")), "");
  EXPECT_THROW(narrow->Text(QStringLiteral("State9")), AppError);
}

TEST_F(LookupAndChangeTest, ChangeRowWritesOnlyThatRow) {
  const QString before = Snapshot(QStringLiteral("Log_Home"));
  db_.ChangeRow(QStringLiteral("Log_Home"), 7,
                {{QStringLiteral("QorvRec"), true},
                 {QStringLiteral("QorvRecDate"), QDate(2021, 9, 20)},
                 {QStringLiteral("grid"), QStringLiteral("FN42'; --")},
                 {QStringLiteral("State4"), QStringLiteral("Essex \"x\"")}});
  EXPECT_EQ(Peek(QStringLiteral("SELECT quote(QorvRec) || quote(QorvRecDate) || quote(Grid) || "
                                "quote(State4) FROM Log_Home WHERE ID = 7"))
                .toString(),
            "1'2021-09-20''FN42''; --''Essex \"x\"'");
  const QStringList rows_before = before.split(QLatin1Char('|'));
  const QStringList rows_after = Snapshot(QStringLiteral("Log_Home")).split(QLatin1Char('|'));
  ASSERT_EQ(rows_after.size(), rows_before.size());
  for (qsizetype i = 0; i < rows_after.size(); ++i) {
    if (i != 6) {
      EXPECT_EQ(rows_after[i], rows_before[i]) << "row " << i + 1;
    }
  }
}

// Changes held back while a reply arrives: nothing reaches the log until
// they are written; a look-up meanwhile reads its row as they will leave it;
// and a row the logbook changed in between is left alone.
TEST_F(LookupAndChangeTest, HeldBackChangesWaitAndSkipRowsChangedMeanwhile) {
  const QString home = QStringLiteral("Log_Home");
  const QString before = Snapshot(home);
  StagedChanges staged;
  db_.HoldBackChanges(&staged);
  const QsoLookup abcde = Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8");
  const QsoLookup portable = Lookup(k15, 14, "n0call", "12:10", "12:50", "", CallMatch::kPrefix);
  const QsoLookup ohara = Lookup(QDate(2021, 9, 17), 14, "O'HARA", "09:40", "10:20", "SSB");
  for (const QsoLookup& lookup : {abcde, portable, ohara}) {
    const std::optional<FoundQso> found = db_.FindQso(home, lookup, {QStringLiteral("QorvRec")});
    ASSERT_TRUE(found) << lookup.call.toStdString();
    EXPECT_FALSE(found->Truth(QStringLiteral("QorvRec")));
    db_.ChangeFoundRow(
        home, *found,
        {{QStringLiteral("QorvRec"), true}, {QStringLiteral("QorvRecDate"), QDate(2021, 10, 1)}});
  }
  // An unknown column fails at once, as a change written at once would.
  const std::optional<FoundQso> first = db_.FindQso(home, abcde, {QStringLiteral("QorvRec")});
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->Truth(QStringLiteral("QorvRec")));
  EXPECT_THROW(db_.ChangeFoundRow(home, *first, {{QStringLiteral("NoSuchColumn"), 1}}), AppError);
  EXPECT_EQ(staged.Count(), 3);
  db_.HoldBackChanges(nullptr);
  EXPECT_EQ(Snapshot(home), before);

  // The logbook renames the portable QSO's call before the changes are written.
  LogbookDatabaseWriter(Path()).Execute(
      QStringLiteral("UPDATE Log_Home SET CallSign = 'DL1ABC' WHERE ID = 2"));
  QStringList written;
  db_.WriteStagedChanges(staged, [&](const QString& table, bool changed) {
    written << table + (changed ? QStringLiteral(" changed") : QStringLiteral(" left"));
  });
  EXPECT_EQ(written, QStringList({"Log_Home changed", "Log_Home left", "Log_Home changed"}));
  EXPECT_EQ(
      Peek(QStringLiteral("SELECT group_concat(ID || ':' || QorvRec || ':' || "
                          "ifnull(QorvRecDate, '-'), ' ') FROM Log_Home WHERE ID IN (1, 2, 7)"))
          .toString(),
      "1:1:2021-10-01 2:0:- 7:1:2021-10-01");
}

TEST_F(LookupAndChangeTest, UnknownColumnChangesNothing) {
  const QString before = Snapshot(QStringLiteral("Log_Home"));
  for (const char* column : {"State5", "State4\" = 'x", "QorvRec\"--"}) {
    try {
      db_.ChangeRow(
          QStringLiteral("Log_Home"), 1,
          {{QStringLiteral("QorvRec"), true}, {QLatin1String(column), QStringLiteral("x")}});
      ADD_FAILURE() << "no error for " << column;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Message(), QStringLiteral("Field '%1' not found").arg(QLatin1String(column)));
    }
  }
  EXPECT_EQ(Snapshot(QStringLiteral("Log_Home")), before);
}

TEST_F(LookupAndChangeTest, TableNamesAreIdentifiersOnly) {
  const QString tricky = QLatin1String(kTrickyTable);
  const QsoLookup lookup = Lookup(k15, 14, "ABCDE", "18:04", "18:44", "FT8");
  EXPECT_EQ(Find(tricky, lookup), 1);
  db_.ChangeRow(tricky, 1, {{QStringLiteral("QorvRec"), true}});
  EXPECT_EQ(Peek(QStringLiteral("SELECT count(*) FROM Log_Home")).toInt(), 9);
  EXPECT_EQ(Peek(QStringLiteral("SELECT sum(QorvRec) FROM Log_Home")).toInt(), 0);
  for (const char* table : {"Log_Home\" --", "Log_Home; DROP TABLE Log_Keys", ""}) {
    EXPECT_THROW(Find(QLatin1String(table), lookup), AppError) << table;
  }
  EXPECT_EQ(Peek(QStringLiteral("SELECT count(*) FROM Log_Keys")).toInt(), 3);
}

TEST_F(LookupAndChangeTest, UnsentSelectionAndMarking) {
  {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(QStringLiteral("Log_Up"));
    Qso sat = MakeQso("2021-03-02", "07:05", "AO7AB", 430, "FM");
    sat.SAT_NAME = QStringLiteral("AO-7");
    sat.QSOBand = QStringLiteral("435.10000");
    Qso sent = MakeQso("2021-01-01", "10:00", "SENT", 14, "CW");
    sent.QorvSent = true;
    writer.InsertQsos(QStringLiteral("Log_Up"),
                      {MakeQso("2021-03-02", "09:00", "C", 3.5, "BPSK31"), sent, sat,
                       MakeQso("2021-02-01", "23:59", "A", 1.8, "CW")});
  }
  const QList<UnsentQso> unsent = ReadAllUnsent(db_, QStringLiteral("Log_Up"));
  ASSERT_EQ(unsent.size(), 3);
  EXPECT_EQ(unsent[0].CallSign, "A");
  EXPECT_EQ(unsent[0].DigiBand, "1.8");
  EXPECT_EQ(unsent[1].CallSign, "C");
  EXPECT_EQ(unsent[1].rowid, 1);
  EXPECT_EQ(unsent[2].rowid, 3);
  EXPECT_EQ(unsent[2].QSODate, "2021-03-02");
  EXPECT_EQ(unsent[2].QSOTime, "07:05");
  EXPECT_EQ(unsent[2].DigiBand, "430");
  EXPECT_EQ(unsent[2].QSOBand, "435.10000");
  EXPECT_EQ(unsent[2].QSOMode, "FM");
  EXPECT_EQ(unsent[2].SAT_NAME, "AO-7");

  // Only the rows named are marked: here not the first of the three.
  db_.MarkSent(QStringLiteral("Log_Up"), {unsent[0].rowid, unsent[2].rowid});
  EXPECT_EQ(Peek(QStringLiteral("SELECT group_concat(QorvSent, '') FROM "
                                "(SELECT QorvSent FROM Log_Up ORDER BY ID)"))
                .toString(),
            "0111");
  const QList<UnsentQso> left = ReadAllUnsent(db_, QStringLiteral("Log_Up"));
  ASSERT_EQ(left.size(), 1);
  EXPECT_EQ(left[0].CallSign, "C");

  // A reader that stops early leaves no transaction open: marking works.
  int seen = 0;
  db_.ReadUnsent(
      QStringLiteral("Log_Up"), [](qint64) {},
      [&](const UnsentQso&) {
        ++seen;
        return false;
      });
  EXPECT_EQ(seen, 1);
  db_.MarkSent(QStringLiteral("Log_Up"), {left[0].rowid});
  EXPECT_TRUE(ReadAllUnsent(db_, QStringLiteral("Log_Up")).isEmpty());
}

}  // namespace
