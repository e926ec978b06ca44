// Real-time sending through the watch loop against the service double's
// real-time interface: each answer, exactly once, edits and the settings.
#include <QJsonArray>

#include "watch/watch_fixture.h"

namespace {

using RealtimeSendingTest = WatchTest;

TEST_F(RealtimeSendingTest, SendsEachNewQsoOnceAsOneRecordAndLeavesTheOlderOnes) {
  Loop().Pass();  // turned on: OLD1 and OLD2 stay with the batch upload
  LogQso("K1ABC");
  Loop().Pass();
  Loop().Pass();
  const QList<ReceivedQso> received = Received();
  ASSERT_EQ(received.size(), 1);
  EXPECT_EQ(received[0].status, 200);
  EXPECT_TRUE(received[0].adif.startsWith("<CALL:5>K1ABC<QSO_DATE:8>20261211<TIME_ON:4>1015"));
  EXPECT_TRUE(received[0].adif.endsWith("<EOR>"));
  EXPECT_EQ(received[0].adif.count("<EOR>"), 1);
  EXPECT_EQ(Said("sent").size(), 1);

  // A duplicate counts as sent: it does not go again.
  AnswerWith("duplicate");
  LogQso("K2DUP");
  Loop().Pass();
  Restart();
  Loop().Pass();
  ASSERT_EQ(Received().size(), 2);
  EXPECT_EQ(Received()[1].answer, "Dupe");
  EXPECT_TRUE(Status()["rejected"].toArray().isEmpty());
}

TEST_F(RealtimeSendingTest, ARejectedQsoIsListedWithTheReasonAndGoesAgainOnlyWhenEdited) {
  Loop().Pass();
  const qint64 id = LogQso("BAD/CALL/X");
  AnswerWith("400 Invalid callsign");
  Loop().Pass();
  AnswerWith("200");
  clock_.Advance(3600);
  Loop().Pass();
  ASSERT_EQ(Received().size(), 1);
  EXPECT_EQ(Received()[0].status, 400);
  const QJsonArray rejected = Status()["rejected"].toArray();
  ASSERT_EQ(rejected.size(), 1);
  EXPECT_EQ(rejected[0]["reason"].toString(), "Invalid callsign");
  EXPECT_EQ(rejected[0]["id"].toInteger(), id);

  ChangeQso(id, "CallSign", "K3FIX");
  Loop().Pass();
  ASSERT_EQ(Received().size(), 2);
  EXPECT_EQ(Received()[1].status, 200);
  EXPECT_TRUE(Status()["rejected"].toArray().isEmpty());
}

TEST_F(RealtimeSendingTest, AServerErrorParksTheQsoAndRetriesWithAGrowingDelay) {
  Loop().Pass();
  LogQso("K4PRK");
  AnswerWith("500 2");
  Loop().Pass();
  ASSERT_EQ(Received().size(), 1);
  EXPECT_EQ(Status()["parked"].toArray().size(), 1);
  struct Step {
    qint64 advance;
    qsizetype received;
  };
  // 30 s after the first 500, then 60 s after the second.
  for (const Step step : {Step{29, 1}, Step{1, 2}, Step{59, 2}, Step{1, 3}, Step{600, 3}}) {
    clock_.Advance(step.advance);
    Loop().Pass();
    EXPECT_EQ(Received().size(), step.received) << "after " << step.advance << " s more";
  }
  EXPECT_EQ(Received().last().status, 200);
  EXPECT_TRUE(Status()["parked"].toArray().isEmpty());
  EXPECT_EQ(Said("parked").size(), 2);
}

TEST_F(RealtimeSendingTest, ANetworkFailureParksTheQsoToo) {
  Loop().Pass();
  LogQso("K5NET");
  ASSERT_TRUE(double_.Stop());
  Loop().Pass();
  const QJsonArray parked = Status()["parked"].toArray();
  ASSERT_EQ(parked.size(), 1);
  EXPECT_EQ(parked[0]["qso"].toString(), "K5NET 2026-12-11 10:15 14 FT8");
}

TEST_F(RealtimeSendingTest, A403StopsAllSendingAcrossRestartsUntilTheSettingsChange) {
  Loop().Pass();
  LogQso("K6ONE");
  LogQso("K6TWO");
  AnswerWith("403");
  Loop().Pass();
  ASSERT_EQ(Received().size(), 1);  // the second QSO is not tried after the 403
  ASSERT_EQ(Said("blocked").size(), 1);
  EXPECT_TRUE(Said("blocked")[0].contains("until the settings change"));
  AnswerWith("200");
  clock_.Advance(7200);
  Loop().Pass();
  Restart();
  Loop().Pass();
  EXPECT_EQ(Received().size(), 1);
  EXPECT_TRUE(Status().contains("blocked"));

  WriteWatchSettings({"Logs=Main", "ClublogRealtime=1", "; login corrected"});
  Loop().Pass();
  const QList<ReceivedQso> received = Received();
  ASSERT_EQ(received.size(), 3);
  EXPECT_TRUE(received[1].adif.contains("K6ONE"));
  EXPECT_TRUE(received[2].adif.contains("K6TWO"));
  EXPECT_FALSE(Status().contains("blocked"));
}

TEST_F(RealtimeSendingTest, AQsoEditedAfterSendingGoesAgainOnlyWhenItsKeyChanged) {
  Loop().Pass();
  const qint64 id = LogQso("K7EDT");
  Loop().Pass();
  ChangeQso(id, "Comment", "nice signal");
  ChangeQso(id, "RST_Sent", "-10");
  Loop().Pass();
  EXPECT_EQ(Received().size(), 1);
  ChangeQso(id, "QSOTime", "10:16");
  Loop().Pass();
  Loop().Pass();
  ASSERT_EQ(Received().size(), 2);
  EXPECT_TRUE(Received()[1].adif.contains("<TIME_ON:4>1016"));
  ASSERT_EQ(Said("changed").size(), 1);
  EXPECT_TRUE(Said("changed")[0].contains("the old record stays on Club Log"));
}

TEST_F(RealtimeSendingTest, SettingsAreReadAgainAndTurningOnLeavesEarlierQsosToTheBatch) {
  WriteWatchSettings({"Logs=Main"});
  Loop().Pass();
  LogQso("K8OFF");
  Loop().Pass();
  WriteWatchSettings({"Logs=Main", "ClublogRealtime=1"});
  Loop().Pass();
  LogQso("K8ON");
  Loop().Pass();
  WriteWatchSettings({"Logs=Main", "ClublogRealtime=0"});
  Loop().Pass();
  LogQso("K8GAP");
  Loop().Pass();
  WriteWatchSettings({"Logs=Main", "ClublogRealtime=1"});
  Loop().Pass();
  Loop().Pass();
  const QList<ReceivedQso> received = Received();
  ASSERT_EQ(received.size(), 1);
  EXPECT_TRUE(received[0].adif.contains("K8ON"));
  EXPECT_EQ(Said("settings").size(), 4);
}

}  // namespace
