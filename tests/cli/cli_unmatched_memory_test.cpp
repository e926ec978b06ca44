// "unmatched" explains the most recent run that left records matching
// nothing, says which run that was, and confirms exactly the row it is told.
#include <QDateTime>
#include <QJsonArray>

#include "cli/cli_fixture.h"
#include "platform/text_codec.h"

namespace {

QStringList Calls(const QJsonObject& json) {
  QStringList calls;
  for (const QJsonValue& record : json["unmatched_records"].toArray()) {
    calls << record["call"].toString();
  }
  return calls;
}

TEST_F(CliTest, UnmatchedRemembersTheLastRunThatLeftRecordsUnmatched) {
  const auto side = MakeSide("side");
  const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
  ASSERT_EQ(side->Run({"download", "qorv"}).exit_code, 0);
  const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);
  // The nightly download that follows brings nothing and replaces the saved
  // report; the run it follows is still the one explained.
  service_.WriteState("qorv/W1AW.adi", "");
  ASSERT_EQ(side->Run({"download", "qorv"}).exit_code, 0);
  const QString saved = side->Install() + "Download/qorvreport.adi";
  const QByteArray nothing_new = ReadFileBytes(saved);

  const CommandRun run = side->Run({"unmatched", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  QJsonObject json = Json(run);
  EXPECT_EQ(json["records"].toInt(), 4);
  EXPECT_EQ(json["unmatched"].toInt(), 2);
  EXPECT_EQ(Calls(json), (QStringList{"DL1XYZ", "G4AAA"}));
  EXPECT_EQ(json["source"].toString(), saved);
  EXPECT_EQ(json["run"].toObject()["kind"].toString(), "Qorv download");
  const QDateTime finished =
      QDateTime::fromString(json["run"].toObject()["finished_utc"].toString(), Qt::ISODate);
  EXPECT_TRUE(finished >= before && finished <= after) << finished.toString().toStdString();
  EXPECT_EQ(ReadFileBytes(saved), nothing_new);

  // In words: which run, and each count once.
  const CommandRun text = side->Run({"unmatched"});
  ASSERT_EQ(text.exit_code, 0) << text.err.constData();
  EXPECT_TRUE(text.out.contains("in the Qorv download of " +
                                finished.toString("yyyy-MM-dd hh:mm").toUtf8() + " UTC"))
      << text.out.constData();
  EXPECT_EQ(text.out.count("Unmatched: 2"), 1) << text.out.constData();
  EXPECT_EQ(text.out.count("Records read: 4"), 1) << text.out.constData();
  EXPECT_FALSE(text.out.contains("matching no QSO")) << text.out.constData();
  // Its progress is a named step, as the other commands show theirs.
  EXPECT_EQ(text.err.count("Matching the records of "), 1) << text.err.constData();

  // An import with a record that matches nothing is more recent.
  const QString file = root_.filePath("other.adi");
  WriteFileBytes(file,
                 "<CALL:6>N0CALL<BAND:3>20M<MODE:3>SSB<QSO_DATE:8>20210916<TIME_ON:4>1830"
                 "<QSLRDATE:8>20211001<EOR>\n");
  ASSERT_EQ(side->Run({"import", file}).exit_code, 0);
  json = Json(side->Run({"unmatched", "--json"}));
  EXPECT_EQ(json["run"].toObject()["kind"].toString(), "Qorv import");
  EXPECT_EQ(json["source"].toString(), file);
  EXPECT_EQ(Calls(json), QStringList{"N0CALL"});

  // Then an eQSL download, read by the eQSL run's rules.
  ASSERT_EQ(side->Run({"download", "eqsl"}).exit_code, 0);
  json = Json(side->Run({"unmatched", "--json"}));
  EXPECT_EQ(json["run"].toObject()["kind"].toString(), "eQSL download");
  EXPECT_EQ(Calls(json), QStringList{"G4AAA"});
  EXPECT_EQ(Json(side->Run({"unmatched", "--eqsl", "--json"}))["run"], json["run"]);
}

// A log time with a one-digit hour is the export's time: its minutes count,
// and the look-up that misses it is named.
TEST_F(CliTest, UnmatchedReadsLogTimesAsTheExportDoes) {
  Qso early;
  early.QSODate = "2021-09-20";
  early.QSOTime = "9:05";
  early.CallSign = "K1DDD";
  early.DigiBand = 14;
  early.QSOMode = "FT8";
  Qso late = early;
  late.QSOTime = "9:50";
  late.CallSign = "K1EEE";
  LogbookSide side(root_.filePath("side"), service_, {early, late}, {});
  const QString file = root_.filePath("report.adi");
  WriteFileBytes(file,
                 "<CALL:5>K1DDD<BAND:3>20M<MODE:3>FT8<QSO_DATE:8>20210920<TIME_ON:4>0905<eor>\n"
                 "<CALL:5>K1EEE<BAND:3>20M<MODE:3>FT8<QSO_DATE:8>20210920<TIME_ON:4>0905<eor>\n");
  const QJsonObject json = Json(side.Run({"unmatched", file, "--json"}));
  QStringList differences;
  for (const QJsonValue& record : json["unmatched_records"].toArray()) {
    for (const QJsonValue& qso : record["nearest"].toArray()) {
      for (const QJsonValue& difference : qso["differences"].toArray()) {
        differences << qso["id"].toString() + ": " + difference.toString();
      }
    }
  }
  EXPECT_EQ(differences,
            (QStringList{"log_main:1: time 9:05 in the log is not written hh:mm (09:05), so the "
                         "look-up misses it",
                         "log_main:2: time 09:50 in the log, 09:05 in the record: 25 minutes "
                         "outside the ±20-minute window"}));
}

TEST_F(CliTest, UnmatchedWithoutAnyRunSaysSo) {
  const auto side = MakeSide("side");
  const CommandRun run = side->Run({"unmatched"});
  EXPECT_EQ(run.exit_code, 0) << run.err.constData();
  EXPECT_TRUE(run.out.contains("No run so far left records that matched nothing."))
      << run.out.constData();
  const CommandRun confirm = side->Run({"unmatched", "--confirm", "log_main:1"});
  EXPECT_EQ(confirm.exit_code, 2);
  EXPECT_TRUE(confirm.err.contains("log_main:1 is not one of the QSOs listed"))
      << confirm.err.constData();
}

// The record names DL1XYZ; the log holds DL1XYZ/P twice in the main log and
// once in the portable one, so a match re-run over the log set would pick
// another row than the one chosen.
TEST_F(CliTest, ConfirmWritesExactlyTheNamedRowAndSaysWhatItWrote) {
  QList<Qso> main = MainQsos();
  main << main[2];
  LogbookSide side(root_.filePath("side"), service_, main, {MainQsos()[2]});
  ASSERT_EQ(side.Run({"download", "qorv"}).exit_code, 0);
  const QStringList before = side.Rows();

  const CommandRun run = side.Run({"unmatched", "--confirm", "log_main:5", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["confirmed_id"].toString(), "log_main:5");
  EXPECT_EQ(json["logs"]["log_main"]["confirmed"].toInt(), 1);
  const QStringList after = side.Rows();
  ASSERT_EQ(after.size(), before.size());
  for (int row = 0; row < after.size(); ++row) {
    if (row == 4) {
      EXPECT_NE(after[row], before[row]);
      EXPECT_TRUE(after[row].contains("|2021-10-02|")) << after[row].toStdString();
    } else {
      EXPECT_EQ(after[row], before[row]) << row;
    }
  }

  const CommandRun twice = side.Run({"unmatched", "--confirm", "log_main:5"});
  ASSERT_EQ(twice.exit_code, 0) << twice.err.constData();
  EXPECT_TRUE(twice.out.contains("log_main:5 was confirmed before: nothing written"))
      << twice.out.constData();
  EXPECT_FALSE(twice.out.contains("marked confirmed")) << twice.out.constData();
  EXPECT_FALSE(twice.out.contains("already confirmed")) << twice.out.constData();
  EXPECT_EQ(side.Rows(), after);

  // The same fact in JSON: the row named, and nothing said to be written.
  const QJsonObject again = Json(side.Run({"unmatched", "--confirm", "log_main:5", "--json"}));
  EXPECT_EQ(again["confirmed_before_id"].toString(), "log_main:5");
  EXPECT_FALSE(again.contains("confirmed_id"));
  EXPECT_EQ(side.Rows(), after);
}

}  // namespace
