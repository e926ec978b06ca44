// Matching a Qorv report against the log: what is confirmed, what goes to
// the error list, what stops a run.
#include "confirmations/confirmation_run.h"

#include <gtest/gtest.h>

#include "confirmation_fixture.h"
#include "confirmations/pending_qsl.h"
#include "report_text.h"
#include "support/error_text.h"

namespace {

TEST(TimeWindowTest, TwentyMinutesEachSideNeverCrossingMidnight) {
  struct Case {
    const char* time_on;
    const char* on;
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"120000", "12:00", "11:40", "12:20"}, {"1200", "12:00", "11:40", "12:20"},
      {"235000", "23:50", "23:30", "23:59"}, {"234000", "23:40", "23:20", "23:59"},
      {"000500", "00:05", "00:00", "00:25"}, {"002000", "00:20", "00:00", "00:40"},
      {"183959", "18:39", "18:19", "18:59"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time_on);
    PendingQslRecord record;
    SetTimeWindow(record, QLatin1String(c.time_on));
    EXPECT_EQ(record.TimeOn, QLatin1String(c.on));
    EXPECT_EQ(record.TimeFrom, QLatin1String(c.from));
    EXPECT_EQ(record.TimeTo, QLatin1String(c.to));
  }
}

TEST(TimeWindowTest, TimesOutsideTheDayOrNotInDigitsStopTheRun) {
  const struct {
    const char* time_on;
    const char* error;
  } cases[] = {
      {"2400", "'24:00' is not a valid time"},
      {"1260", "'12:60' is not a valid time"},
      {"9:05", "'9::05' is not a valid time"},
      {"12", "'12:' is not a valid time"},
  };
  for (const auto& c : cases) {
    PendingQslRecord record;
    EXPECT_EQ(ErrorText([&] { SetTimeWindow(record, QLatin1String(c.time_on)); }),
              QLatin1String(c.error))
        << c.time_on;
  }
}

TEST(DateFromAdifTest, ReadsCalendarDatesAndRefusesOthers) {
  EXPECT_EQ(DateFromAdif(QStringLiteral("20240229")), QDate(2024, 2, 29));
  EXPECT_EQ(DateFromAdif(QStringLiteral("00011231")), QDate(1, 12, 31));
  EXPECT_EQ(DateFromAdif(QStringLiteral("202101159")), QDate(2021, 1, 15));  // the rest ignored
  for (const char* refused : {"20230229", "20231301", "00000101"}) {
    EXPECT_EQ(ErrorText([&] { DateFromAdif(QLatin1String(refused)); }),
              QStringLiteral("Invalid argument to date encode"))
        << refused;
  }
  EXPECT_EQ(ErrorText([] { DateFromAdif(QStringLiteral("2021O115")); }),
            QStringLiteral("'O1' is not a valid integer value"));
}

class ConfirmationRunTest : public ConfirmationTest {
 protected:
  ConfirmationRun& Run(const QString& report) {
    run_ = std::make_unique<ConfirmationRun>(ui_, Database(), QStringLiteral("A"), Options());
    run_->RunReportLines(Lines(report));
    return *run_;
  }

  std::unique_ptr<ConfirmationRun> run_;
};

TEST_F(ConfirmationRunTest, RecordsConfirmTheQsosTheyDescribe) {
  struct Case {
    const char* name;
    QString report;
    QStringList confirmed;
    QStringList errors;
  };
  const Case cases[] = {
      {"both logs of the set",
       Record("ABCDE", "20M", "FT8", "20210915", "182400"),
       {"Log_Home:1", "Log_Port:1"},
       {}},
      {"submode after mode, other set untouched",
       Lines(Record("N0CALL", "15M", "MFSK", "20210916", "0900"))
           .replaceInStrings(QStringLiteral("<MODE:4>MFSK"),
                             QStringLiteral("<MODE:4>MFSK\n<SUBMODE:3>FT4"))
           .join(u'\n'),
       {"Log_Home:2"},
       {}},
      {"submode before mode",
       F("SUBMODE", "FT4") + u'\n' + Record("N0CALL", "15M", "MFSK", "20210916", "0900"),
       {"Log_Home:2"},
       {}},
      {"no mode matches any, window starts at 00:00",
       Record("K1AA", "40M", "", "20210917", "000500"),
       {"Log_Home:3"},
       {}},
      {"one line, window ends at 23:59",
       F("CALL", "K2BB") + F("BAND", "40M") + F("MODE", "CW") + F("QSO_DATE", "20210917") +
           F("TIME_ON", "235000") + F("QSLRDATE", "20211001") + QStringLiteral("<eor>"),
       {"Log_Home:4"},
       {}},
      {"fields with longer names are other fields",
       QStringList{F("CALL", "ABCDE"), F("CALLSIGN", "XX9XX"), F("BAND", "20M"),
                   F("BAND_RX", "40M"), F("MODE", "FT8"), F("QSO_DATE", "20210915"),
                   F("QSO_DATE_OFF", "20210916"), F("TIME_ON", "1824"), F("TIME_OFF", "2359"),
                   F("QSLRDATE", "20211001"), F("APP_X_MODE", "SSB"), QStringLiteral("<eor>")}
           .join(u'\n'),
       {"Log_Home:1", "Log_Port:1"},
       {}},
      {"lower-case tags, band and record end",
       QStringLiteral("<call:4>K1AA<band:3>40m<mode:2>CW<qso_date:8>20210917<time_on:4>0000"
                      "<qslrdate:8>20211001<eor>"),
       {"Log_Home:3"},
       {}},
      {"quote in the call is only a character",
       Record("O'HARA", "20M", "SSB", "20210919", "100000"),
       {"Log_Home:6"},
       {}},
      {"already confirmed: nothing, no error",
       Record("W1XYZ", "20M", "SSB", "20210918", "1200"),
       {},
       {}},
      {"upper-case EOR ends the record",
       Record("ABCDE", "20M", "FT8", "20210915", "182400").replace("<eor>", "<EOR>"),
       {"Log_Home:1", "Log_Port:1"},
       {}},
      {"band the table does not hold: unmatched, band as read",
       Record("K1AA", "2190M", "CW", "20210917", "0000") + u'\n' +
           Record("K2BB", "40M", "CW", "20210917", "2359"),
       {"Log_Home:4"},
       {"Error", "17.09.2021 00:00 2190M CW K1AA  "}},
      {"no band: unmatched",
       Record("K1AA", "", "CW", "20210917", "0000").remove("<BAND:0>\n"),
       {},
       {"Error", "17.09.2021 00:00  CW K1AA  "}},
      {"header lines change nothing",
       QStringLiteral("ARRL Qorv Status Report\nGenerated at 2021-10-02\n<eoh>\n") +
           Record("K1AA", "40M", "CW", "20210917", "0010"),
       {"Log_Home:3"},
       {}},
      {"outside the window: error lines ending in two blanks",
       Record("ABCDE", "20M", "FT8", "20210915", "190500"),
       {},
       {"Error", "15.09.2021 19:05 14 FT8 ABCDE  "}},
      {"grid and state in the detail line",
       Record("ZZ9ZZ", "80M", "SSB", "20210920", "1000",
              F("GRIDSQUARE", "FN42ab12") + F("STATE", "MA")),
       {},
       {"Error", "20.09.2021 10:00 3.5 SSB ZZ9ZZ FN42ab MA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewLog();
    Run(c.report);
    EXPECT_EQ(ConfirmedNow(), c.confirmed);
    EXPECT_EQ(run_->ErrorList(), c.errors);
  }
}

TEST_F(ConfirmationRunTest, ARecordWithoutDateOrTimeIsNotMatchedWithTheOnesBefore) {
  // Both records fit K1AA on 17 September at 00:00 with the first record's
  // date; the second and third have no date, no time of their own.
  const QString report =
      Record("K2BB", "40M", "CW", "20210917", "235000") + u'\n' +
      QStringList{F("CALL", "K1AA"),         F("BAND", "40M"),          F("TIME_ON", "0005"),
                  F("QSLRDATE", "20211001"), QStringLiteral("<eor>"),   F("CALL", "K1AA"),
                  F("BAND", "40M"),          F("QSO_DATE", "20210917"), F("QSLRDATE", "20211001"),
                  QStringLiteral("<eor>")}
          .join(u'\n');
  ConfirmationRun& run = Run(report);
  EXPECT_EQ(ConfirmedNow(), QStringList{"Log_Home:4"});
  EXPECT_EQ(run.ErrorList(),
            (QStringList{"Error", " 00:05 7  K1AA  ", "Error", "17.09.2021  7  K1AA  "}));
  EXPECT_EQ(run.QsoCount(), 3);
}

TEST_F(ConfirmationRunTest, QsoCountCountsCallLinesMatchedOrNot) {
  QStringList records;
  for (int i = 0; i < 15; ++i) records << Record("NOBODY", "20M", "FT8", "20210915", "0000");
  records << F("CALLSIGN", "NOBODY") << QStringLiteral("<call:6>NOBODY");
  ConfirmationRun& run = Run(records.join(u'\n'));
  EXPECT_EQ(run.QsoCount(), 16);
  EXPECT_EQ(run.ErrorList().size(), 30);
}

TEST_F(ConfirmationRunTest, FailuresStopTheRunAndKeepWhatWasConfirmedBefore) {
  const QString first = Record("ABCDE", "20M", "FT8", "20210915", "182400");
  struct Case {
    const char* name;
    QString failing;
    const char* message;
  };
  const Case cases[] = {
      {"found but no QSLRDATE",
       Record("K1AA", "40M", "CW", "20210917", "0000").remove(F("QSLRDATE", "20211001")),
       "'' is not a valid date"},
      {"date that does not exist", Record("K1AA", "40M", "CW", "20211301", "0000"),
       "Invalid argument to date encode"},
      {"date with letters", Record("K1AA", "40M", "CW", "2021O917", "0000"),
       "'O9' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewLog();
    const QString message = ErrorText([&] { Run(first + u'\n' + c.failing); });
    EXPECT_EQ(message, QLatin1String(c.message));
    // Committed before the error left the run: the logbook sees it.
    EXPECT_EQ(ConfirmedNow(), (QStringList{"Log_Home:1", "Log_Port:1"}));
  }
}

TEST_F(ConfirmationRunTest, CopyOptionsApplyToTheQsoBeingConfirmed) {
  options_ = {true, true, true, true, QStringLiteral("State2")};
  Run(QStringList{F("CALL", "K1AA"), F("BAND", "40M"), F("MODE", "CW"), F("QSO_DATE", "20210917"),
                  F("TIME_ON", "0000"), F("QSLRDATE", "20211002"), F("GRIDSQUARE", "FN42ab12"),
                  QStringLiteral("<STATE:16>MA // Massachusetts"), F("IOTA", "NA-001"),
                  QStringLiteral("<CNTY:25>MA,MIDDLESEX // Middlesex"),
                  // Later fields whose names begin with the same letters copy nothing.
                  F("GRIDSQUARE_EXT", "EN43"), F("STATE_INTL", "XX"), F("IOTA_ISLAND_ID", "1234"),
                  F("CNTY_ALT", "NH,X"), QStringLiteral("<eor>")}
          .join(u'\n'));
  EXPECT_EQ(Row(kHome, 3, {"QorvRec", "QorvRecDate", "Grid", "State", "IOTA", "State2"}),
            "1|2021-10-02|FN42ab|MA|NA-001|MA-MIDDLESEX");
}

TEST_F(ConfirmationRunTest, CopyOptionsLeaveAlone) {
  const QString extra =
      F("GRIDSQUARE", "FN42") + F("STATE", "MA") + F("IOTA", "NA-001") + F("CNTY", "MA,X");
  struct Case {
    const char* name;
    ConfirmationOptions options;
    const char* state_before;
    int id;
    QString report;
    const char* row_after;
  };
  const ConfirmationOptions all = {true, true, true, true, QStringLiteral("State4")};
  const Case cases[] = {
      {"boxes clear", {}, "", 3, Record("K1AA", "40M", "CW", "20210917", "0000", extra), "1||||"},
      {"a state with '-' stays", all, "XX-YY", 3,
       Record("K1AA", "40M", "CW", "20210917", "0000", extra), "1|FN42|XX-YY|NA-001|MA-X"},
      {"an empty state is filled", all, "", 3,
       Record("K1AA", "40M", "CW", "20210917", "0000", extra), "1|FN42|MA|NA-001|MA-X"},
      {"already confirmed gets no copy", all, "", 5,
       Record("W1XYZ", "20M", "SSB", "20210918", "1200", extra), "1||||"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewLog();
    options_ = c.options;
    LogbookDatabaseWriter(DatabasePath())
        .Execute(QStringLiteral("UPDATE Log_Home SET State = '%1' WHERE ID = %2")
                     .arg(QLatin1String(c.state_before))
                     .arg(c.id));
    Run(c.report);
    EXPECT_EQ(Row(kHome, c.id, {"QorvRec", "Grid", "State", "IOTA", "State4"}),
              QLatin1String(c.row_after));
  }
}

TEST_F(ConfirmationRunTest, OptionsAreReadAtEachConfirmation) {
  // The box is ticked while the first QSO is confirmed, no sooner.
  int reads = 0;
  ConfirmationRun run(ui_, Database(), QStringLiteral("A"), [&] {
    ConfirmationOptions options;
    options.update_locator = ++reads > 1;
    return options;
  });
  run.RunReportLines(
      Lines(Record("K1AA", "40M", "CW", "20210917", "0000", F("GRIDSQUARE", "AA11")) + u'\n' +
            Record("K2BB", "40M", "CW", "20210917", "2359", F("GRIDSQUARE", "BB22"))));
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(Row(kHome, 3, {"QorvRec", "Grid"}), "1|");
  EXPECT_EQ(Row(kHome, 4, {"QorvRec", "Grid"}), "1|BB22");
}

TEST_F(ConfirmationRunTest, CountyColumnThatIsNoColumnStopsWithoutWritingTheRow) {
  options_ = {true, false, false, true, QStringLiteral("State9")};
  EXPECT_EQ(ErrorText([&] {
              Run(QStringList{F("CALL", "K1AA"), F("BAND", "40M"), F("QSO_DATE", "20210917"),
                              F("TIME_ON", "0000"), F("QSLRDATE", "20211001"),
                              F("GRIDSQUARE", "FN42"), F("CNTY", "MA,X"), QStringLiteral("<eor>")}
                      .join(u'\n'));
            }),
            "Field 'State9' not found");
  EXPECT_EQ(Row(kHome, 3, {"QorvRec", "Grid"}), "0|");
}

TEST_F(ConfirmationRunTest, ProgressMovesByLineAndOnlyWhenItChanges) {
  struct Case {
    int lines;
    QList<int> progress;
  };
  const Case cases[] = {{1, {100}}, {3, {0, 50, 100}}, {5, {0, 25, 50, 75, 100}}, {401, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    ui_.progress.clear();
    QStringList lines;
    for (int i = 0; i < c.lines; ++i) lines << QStringLiteral("comment");
    ConfirmationRun(ui_, Database(), QStringLiteral("A"), Options()).RunReportLines(lines);
    if (c.progress.isEmpty()) {
      QList<int> all;
      for (int p = 0; p <= 100; ++p) all << p;
      EXPECT_EQ(ui_.progress, all);
    } else {
      EXPECT_EQ(ui_.progress, c.progress);
    }
  }
}

}  // namespace
