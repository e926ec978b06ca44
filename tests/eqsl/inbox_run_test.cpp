// The eQSL run over inbox lines: when a record is complete, the mode rules,
// the call sign as a prefix, the ignore list, the log set, progress and the
// errors that stop a run.
#include "eqsl/inbox_run.h"

#include "eqsl_fixture.h"
#include "support/error_text.h"

namespace {

// One complete record on one line, with the fields given after CALL.
QString Record(const QString& call, const QString& rest) {
  return QStringLiteral("<CALL:%1>%2%3<EOR>").arg(call.size()).arg(call, rest);
}

const QString kFt8At1830 =
    QStringLiteral("<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M<MODE:3>FT8");

class InboxRunTest : public EqslFixture {
 protected:
  EqslInboxRun Run(const QStringList& lines, const QStringList& ignore = {}) {
    EqslInboxRun run(database_, QStringLiteral("HOME"), ignore, ui_);
    run.RunInboxLines(lines);
    return run;
  }
};

TEST_F(InboxRunTest, OneLineRecordIsMatchedAtItsLine) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:45", "N0CALL", 14, "FT8"),
                       MakeQso("2021-09-15", "18:51", "N0CALL", 14, "FT8")});
  const EqslInboxRun run =
      Run({QStringLiteral("<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:6>183000<BAND:3>20M"
                          "<MODE:3>FT8<RST_RCVD:3>-10<EOR>")});
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 N0CALL=0");  // 18:50 is the window's end
  EXPECT_EQ(run.QsoCount(), 1);
  EXPECT_TRUE(run.ErrorList().isEmpty());
  EXPECT_EQ(ui_.progress, QList<int>{100});  // one line: no division by zero
}

TEST_F(InboxRunTest, RecordOverSeveralLinesIsMatchedAtItsLastField) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8"),
                       MakeQso("2021-09-16", "09:00", "K1ABC", 7, "CW")});
  // The typed reader takes a value only when another tag follows it.
  const EqslInboxRun run = Run({
      QStringLiteral("ADIF 3 Export from eQSL.cc"),
      QStringLiteral("<EOH>"),
      QStringLiteral("<CALL:6>N0CALL<QSL_SENT:1>Y"),
      QStringLiteral("<QSO_DATE:8:D>20210915<BAND:3>20M<X:0>"),
      QStringLiteral("<MODE:3>FT8<X:0>"),
      QStringLiteral("<TIME_ON:4>1830<X:0>"),
      QStringLiteral("<EOR>"),
      QStringLiteral("<QSO_DATE:8:D>20210916<CALL:5>K1ABC<TIME_ON:4>0900<X:0>"),
      QStringLiteral("<BAND:3>40M<MODE:2>CW<EOR>"),
  });
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 K1ABC=1");
  EXPECT_EQ(run.QsoCount(), 2);
  EXPECT_TRUE(run.ErrorList().isEmpty()) << run.ErrorList().join('|').toStdString();
  EXPECT_EQ(ui_.progress.first(), 0);
  EXPECT_EQ(ui_.progress.last(), 100);
}

TEST_F(InboxRunTest, ModeRules) {
  struct Case {
    const char* fields;  // after CALL, BAND and the time
    const char* logged_mode;
    bool matched;
  };
  const Case cases[] = {
      {"<MODE:4>MFSK<SUBMODE:3>FT4<RST_RCVD:3>599", "FT4", true},
      {"<MODE:4>MFSK<RST_RCVD:3>599", "FT4", true},
      {"<MODE:3>PSK<SUBMODE:5>PSK31", "PSK31", true},
      {"<MODE:3>PSK<SUBMODE:5>PSK31", "PSK63", false},
      {"<MODE:3>PSK<RST_RCVD:3>599", "PSK", true},
      {"<MODE:3>PSK<RST_RCVD:3>599", "PSK31", true},  // "PSK" lies inside "PSK31"
      {"<SUBMODE:6>MFSK16<RST_RCVD:3>599<MODE:4>MFSK", "MFSK16", true},
      {"<SUBMODE:6>MFSK16<RST_RCVD:3>599<MODE:4>MFSK", "FT4", false},
      {"<SUBMODE:6>MFSK16<RST_RCVD:3>-12<MODE:4>MFSK", "FT4", true},
      {"<SUBMODE:6>MFSK16<RST_RCVD:3>+03<MODE:4>MFSK", "FT4", true},
      {"<SUBMODE:6>MFSK16<RST_RCVD:2>57<MODE:4>MFSK", "FT4", true},
      {"<MODE:8>CONTESTI<RST_RCVD:3>599", "CONTESTIA", true},
      {"<MODE:8>CONTESTI<RST_RCVD:3>599", "CONTEST-x", true},
      {"<MODE:3>ft8<X:0>", "FT8", true},
  };
  int row = 0;
  for (const Case& c : cases) {
    const QString call = QStringLiteral("K%1AA").arg(row++);
    AddQsos("log_main", {MakeQso("2021-09-15", "18:30", call.toLatin1(), 14, c.logged_mode)});
    EqslInboxRun run(database_, QStringLiteral("HOME"), {}, ui_);
    run.ProcessInboxLine(
        Record(call, QStringLiteral("<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M") +
                         QLatin1String(c.fields)));
    EXPECT_EQ(run.ErrorList().isEmpty(), c.matched) << c.fields << " vs " << c.logged_mode;
  }
}

TEST_F(InboxRunTest, CallSignIsMatchedAsTheBeginningOfTheLoggedOne) {
  struct Case {
    const char* logged;
    const char* received;
    bool matched;
  };
  const Case cases[] = {
      {"N0CALL/P", "N0CALL", true},
      {"N0CALLX", "N0CALL", true},
      {"n0call", "N0CALL", true},
      {"N0CAL", "N0CALL", false},
      {"XN0CALL", "N0CALL", false},
      {"N0_ALL", "N0_ALL", true},  // a pattern character matches only itself
      {"N0XALL", "N0_ALL", false},
      {"N0CALL", "N0%", false},
  };
  for (const Case& c : cases) {
    database_.Close();
    LogbookDatabaseWriter(DatabasePath()).Execute(QStringLiteral("DELETE FROM log_main"));
    AddQsos("log_main", {MakeQso("2021-09-15", "18:30", c.logged, 14, "FT8")});
    database_.OpenLogDatabase(DatabasePath());
    Run({Record(QLatin1String(c.received), kFt8At1830)});
    EXPECT_EQ(Marks("log_main").endsWith(u"=1"), c.matched) << c.logged << " / " << c.received;
  }
}

TEST_F(InboxRunTest, RecordsThatNeverCompleteAreListedAndLeaveNothingBehind) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "K1ABC", 14, "FT8")});
  const EqslInboxRun run = Run({
      QStringLiteral("<CALL:6>N0CALL<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:5>2190m"
                     "<MODE:3>FT8<EOR>"),
      // Would match K1ABC with the record before's date, mode and time.
      QStringLiteral("<CALL:5>K1ABC<BAND:3>20M<EOR>"),
      QStringLiteral("<CALL:5>K1ABC<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20m<EOR>"),
  });
  EXPECT_EQ(run.QsoCount(), 3);
  EXPECT_EQ(Marks("log_main"), "K1ABC=1");  // the last one, with any mode
  EXPECT_EQ(run.ErrorList(), QStringList({"Error", "15.09.2021 18:30 2190M FT8 N0CALL FT8 ",
                                          "Error", "  14  K1ABC  "}));
}

TEST_F(InboxRunTest, UnmatchedRecordsAndTheIgnoreList) {
  const QStringList lines = {Record("N0CALL", kFt8At1830), Record("K1ABC", kFt8At1830),
                             Record("W9XYZ", kFt8At1830)};
  struct Case {
    QStringList ignore;
    QStringList listed;
  };
  const Case cases[] = {
      {{}, {"N0CALL", "K1ABC", "W9XYZ"}},
      {{"n0call", "", "w9x"}, {"K1ABC", "W9XYZ"}},  // case ignored; part of a call is no match
      {{"K1ABC ", "W9XYZ"}, {"N0CALL", "K1ABC"}},   // a trailing blank hides nothing
  };
  for (const Case& c : cases) {
    const EqslInboxRun run = Run(lines, c.ignore);
    QStringList listed;
    for (qsizetype i = 0; i < run.ErrorList().size(); i += 2) {
      EXPECT_EQ(run.ErrorList()[i], "Error");
      listed << run.ErrorList()[i + 1].split(u' ')[4];
    }
    EXPECT_EQ(listed, c.listed) << c.ignore.join('|').toStdString();
  }
  EXPECT_EQ(Run({lines[0]}).ErrorList().value(1), "15.09.2021 18:30 14 FT8 N0CALL FT8 ");
}

TEST_F(InboxRunTest, IgnoredCallIsStillMarked) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8")});
  Run({Record("N0CALL", kFt8At1830)}, {"N0CALL"});
  EXPECT_EQ(Marks("log_main"), "N0CALL=1");
}

TEST_F(InboxRunTest, EveryLogOfTheSetIsMarkedAndAMarkedQsoIsLeftAlone) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8"),
                       MakeQso("2021-09-15", "18:30", "K1ABC", 14, "FT8", true)});
  AddQsos("log_portable", {MakeQso("2021-09-15", "18:32", "N0CALL", 14, "FT8")});
  AddQsos("log_contest", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8")});
  const EqslInboxRun run = Run({Record("N0CALL", kFt8At1830), Record("K1ABC", kFt8At1830)});
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 K1ABC=1");
  EXPECT_EQ(Marks("log_portable"), "N0CALL=1");
  EXPECT_EQ(Marks("log_contest"), "N0CALL=0");  // another log set
  EXPECT_TRUE(run.ErrorList().isEmpty());
}

TEST_F(InboxRunTest, RecordDoesNotBorrowAnEarlierRecordsDate) {
  AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8"),
                       MakeQso("2021-09-15", "18:30", "K1ABC", 14, "FT8")});
  // Left over from an earlier run that ended inside a record: a new run
  // starts from an empty buffer.
  Run({QStringLiteral("<QSO_DATE:8>20210915")});
  const EqslInboxRun run = Run({
      QStringLiteral("<CALL:5>K1ABC<TIME_ON:4>1830<BAND:3>20M<MODE:3>FT8<EOR>"),
      Record("N0CALL", kFt8At1830),
      QStringLiteral("<CALL:5>K1ABC<TIME_ON:4>1830<BAND:3>20M<MODE:3>FT8<EOR>"),
  });
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 K1ABC=0");
  EXPECT_EQ(run.ErrorList(), QStringList({"Error", " 18:30 14 FT8 K1ABC FT8 ", "Error",
                                          " 18:30 14 FT8 K1ABC FT8 "}));
}

TEST_F(InboxRunTest, ErrorsStopTheRunAndKeepWhatWasMarked) {
  struct Case {
    const char* line;
    const char* message;
    int count;  // lines with "<CALL" read before the stop
  };
  const Case cases[] = {
      {"<CALL:5x>K1ABC<BAND:3>20M", "'5x' is not a valid integer value", 1},
      {"<CALL:5>K1ABC<QSO_DATE:8:D>20210a15<X:0>", "'0A' is not a valid integer value", 2},
      {"<CALL:5>K1ABC<QSO_DATE:8:D>20211315<X:0>", "Invalid argument to date encode", 2},
      {"<CALL:5>K1ABC<TIME_ON:2>18<X:0>", "'18:' is not a valid time", 2},
  };
  for (const Case& c : cases) {
    database_.Close();
    LogbookDatabaseWriter(DatabasePath()).Execute(QStringLiteral("DELETE FROM log_main"));
    AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8")});
    database_.OpenLogDatabase(DatabasePath());
    EqslInboxRun run(database_, QStringLiteral("HOME"), {}, ui_);
    EXPECT_EQ(ErrorText([&] {
                run.RunInboxLines({Record("N0CALL", kFt8At1830), QLatin1String(c.line),
                                   Record("K2XX", kFt8At1830)});
              }),
              QString::fromLatin1(c.message));
    EXPECT_EQ(Marks("log_main"), "N0CALL=1") << c.line;
    EXPECT_EQ(run.QsoCount(), c.count);
  }
}

}  // namespace
