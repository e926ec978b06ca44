// "unmatched" explains records that matched nothing; "check-sent" finds QSOs
// marked sent that the service never got.
#include <QJsonArray>

#include "cli/cli_fixture.h"
#include "platform/text_codec.h"

namespace {

QJsonObject RecordOf(const QJsonObject& json, const QString& call) {
  for (const QJsonValue& record : json["unmatched_records"].toArray()) {
    if (record["call"].toString() == call) return record.toObject();
  }
  return {};
}

QStringList DifferencesOf(const QJsonObject& record, const QString& id) {
  for (const QJsonValue& qso : record["nearest"].toArray()) {
    if (qso["id"].toString() == id) {
      QStringList differences;
      for (const QJsonValue& difference : qso["differences"].toArray()) {
        differences << difference.toString();
      }
      return differences;
    }
  }
  return {"(not listed)"};
}

TEST_F(CliTest, UnmatchedNamesTheNearestQsosAndWhatDiffers) {
  const auto side = MakeSide("side");
  ASSERT_EQ(side->Run({"download", "qorv"}).exit_code, 0);
  const CommandRun run = side->Run({"unmatched", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["source"].toString(), side->Install() + "Download/qorvreport.adi");
  EXPECT_EQ(json["records"].toInt(), 4);
  EXPECT_EQ(json["unmatched_records"].toArray().size(), 2);
  EXPECT_EQ(DifferencesOf(RecordOf(json, "DL1XYZ"), "log_main:3"),
            QStringList{"call DL1XYZ/P in the log, DL1XYZ in the record"});
  EXPECT_EQ(DifferencesOf(RecordOf(json, "G4AAA"), "log_main:4"),
            (QStringList{"band 15M in the log, 20M in the record",
                         "time 09:00 in the log, 09:45 in the record: 25 minutes outside the "
                         "±20-minute window"}));
}

TEST_F(CliTest, UnmatchedOfAFileAndOfTheInbox) {
  const auto side = MakeSide("side");
  const QString file = root_.filePath("other.adi");
  WriteFileBytes(file,
                 "<CALL:6>N0CALL<BAND:3>20M<MODE:3>SSB<QSO_DATE:8>20210916<TIME_ON:4>1830<EOR>\n");
  const QJsonObject json = Json(side->Run({"unmatched", file, "--json"}));
  const QStringList differences = DifferencesOf(RecordOf(json, "N0CALL"), "log_main:1");
  EXPECT_EQ(differences, (QStringList{"date 2021-09-15 in the log, 2021-09-16 in the record",
                                      "mode FT8 in the log, SSB in the record (mode or submode)"}));
  EXPECT_EQ(DifferencesOf(RecordOf(json, "N0CALL"), "log_port:1").size(), 2);

  ASSERT_EQ(side->Run({"download", "eqsl"}).exit_code, 0);
  const QJsonObject inbox = Json(side->Run({"unmatched", "--eqsl", "--json"}));
  EXPECT_EQ(inbox["source"].toString(), side->Install() + "Download/updateeQSLcc.adi");
  EXPECT_EQ(inbox["unmatched_records"].toArray().size(), 1);
  EXPECT_EQ(DifferencesOf(RecordOf(inbox, "G4AAA"), "log_main:4"),
            QStringList{"band 15M in the log, 20M in the record"});

  // An inbox file is read by the eQSL run's rules: its mode rules, calls in
  // upper case, and the ignore list's calls left out.
  const QString inbox_file = root_.filePath("inbox.adi");
  WriteFileBytes(inbox_file,
                 "<CALL:5>k9zzz<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:4>MFSK<EOR>\n"
                 "<CALL:5>G4AAA<QSO_DATE:8:D>20210918<TIME_ON:4>0900<BAND:3>20M<MODE:3>FT8<EOR>\n"
                 "<CALL:5>K8YYY<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:8>CONTESTI"
                 "<EOR>\n");
  WriteFileBytes(side->Program() + "ignore.txt", "G4AAA\n");
  const QJsonObject read = Json(side->Run({"unmatched", inbox_file, "--eqsl", "--json"}));
  QStringList listed;
  for (const QJsonValue& record : read["unmatched_records"].toArray()) {
    listed << record["call"].toString() + ' ' + record["mode"].toString();
  }
  EXPECT_EQ(listed, (QStringList{"K9ZZZ FT4", "K8YYY CONTEST"}));
}

TEST_F(CliTest, ConfirmMarksTheChosenQsoAsAMatchWould) {
  const auto side = MakeSide("side");
  ASSERT_EQ(side->Run({"download", "qorv"}).exit_code, 0);
  const CommandRun wrong = side->Run({"unmatched", "--confirm", "log_main:2"});
  EXPECT_EQ(wrong.exit_code, 2);
  EXPECT_TRUE(wrong.err.contains("log_main:2 is not one of the QSOs listed"));

  const CommandRun run = side->Run({"unmatched", "--confirm", "log_main:3", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.constData();
  const QJsonObject json = Json(run);
  EXPECT_EQ(json["confirmed_id"].toString(), "log_main:3");
  EXPECT_EQ(json["logs"]["log_main"]["confirmed"].toInt(), 1);
  // QorvRec, the record's received date and, as stored, its grid.
  const QString row = side->Rows()[2];
  EXPECT_TRUE(row.contains("DL1XYZ/P")) << row.toStdString();
  EXPECT_TRUE(row.contains("|2021-10-02|")) << row.toStdString();
  EXPECT_TRUE(row.contains("|JO62|")) << row.toStdString();
}

TEST_F(CliTest, CheckSentListsAndUnmarksWhatQorvDoesNotHold) {
  const auto side = MakeSide("side");
  {
    LogbookDatabaseWriter writer(side->Database());
    writer.Execute("UPDATE log_main SET QorvSent = 1 WHERE ID IN (1, 3, 4)");
  }
  // Qorv got N0CALL and DL1XYZ/P, not G4AAA.
  service_.WriteState("uploads/000007-upload.tq8.contacts",
                      "N0CALL\t20210915\t1830\t20M\tFT8\n"
                      "DL1XYZ/P\t2021-09-17\t12:00:00Z\t20M\tCW\n");
  const CommandRun list = side->Run({"check-sent", "--json"});
  ASSERT_EQ(list.exit_code, 0) << list.err.constData();
  QJsonObject json = Json(list);
  EXPECT_EQ(json["marked_sent"].toInt(), 3);
  ASSERT_EQ(json["not_held"].toArray().size(), 1);
  EXPECT_EQ(json["not_held"][0]["call"].toString(), "G4AAA");
  EXPECT_EQ(json["unmarked"].toInt(), 0);

  const CommandRun later = side->Run({"check-sent", "--since", "2021-09-18", "--unmark", "--json"});
  ASSERT_EQ(later.exit_code, 0) << later.err.constData();
  json = Json(later);
  EXPECT_EQ(json["marked_sent"].toInt(), 1);
  EXPECT_EQ(json["unmarked"].toInt(), 1);
  const CommandRun again = side->Run({"check-sent", "--json"});
  EXPECT_EQ(Json(again)["marked_sent"].toInt(), 2);
  EXPECT_TRUE(Json(again)["not_held"].toArray().isEmpty());
}

}  // namespace
