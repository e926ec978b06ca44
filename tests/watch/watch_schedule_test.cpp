// The watch loop's schedule: the quiet-time Qorv upload, the downloads, the
// logbook's operation lock held by another process, and the lines it says.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "platform/operation_lock.h"
#include "watch/watch_fixture.h"

namespace {

using WatchScheduleTest = WatchTest;

TEST_F(WatchScheduleTest, UploadsToQorvOnceTheLogWasQuietForTheQuietTime) {
  WriteWatchSettings({"Logs=Main", "QorvQuietMinutes=10", "DownloadHours=0"});
  Loop().Pass();
  clock_.Advance(5 * 60);
  LogQso("K1NEW");
  Loop().Pass();
  struct Step {
    qint64 advance;
    qsizetype uploads;
  };
  // Ten minutes after the new QSO, not after the start; then nothing more.
  for (const Step step : {Step{10 * 60 - 1, 0}, Step{1, 1}, Step{3600, 1}}) {
    clock_.Advance(step.advance);
    Loop().Pass();
    EXPECT_EQ(operations_.ran.count("Qorv upload Main"), step.uploads)
        << "after " << step.advance << " s more";
  }
  EXPECT_TRUE(Received().isEmpty());  // real-time sending is off
}

TEST_F(WatchScheduleTest, WithoutADisplayTheUploadWaitsAndSaysSoOnce) {
  WriteWatchSettings({"Logs=Main", "QorvQuietMinutes=1", "DownloadHours=0"});
  display_ = false;
  Loop().Pass();
  clock_.Advance(60);
  Loop().Pass();
  clock_.Advance(60);
  Loop().Pass();
  EXPECT_TRUE(operations_.ran.isEmpty());
  EXPECT_EQ(Said("waiting").size(), 1);
  display_ = true;
  Loop().Pass();
  EXPECT_EQ(operations_.ran, QStringList{"Qorv upload Main"});
}

TEST_F(WatchScheduleTest, DownloadsAtTheIntervalAndRetriesAFailureSooner) {
  WriteWatchSettings({"Logs=Main", "QorvQuietMinutes=0", "DownloadHours=6"});
  Loop().Pass();
  EXPECT_EQ(operations_.ran, (QStringList{"Qorv download Main", "eQSL download Main"}));
  // The first asks from the stored date; later ones from the log's own last
  // download, which no other log's download moves.
  EXPECT_EQ(operations_.since_days.value(0), std::nullopt);
  clock_.Advance(6 * 3600 - 1);
  Loop().Pass();
  EXPECT_EQ(operations_.ran.size(), 2);
  EXPECT_EQ(Status()["due"].toObject()["Qorv download of log Main"].toString(),
            clock_.now.addSecs(1).toString(Qt::ISODate));
  operations_.succeed = false;
  clock_.Advance(1);
  Loop().Pass();
  EXPECT_EQ(operations_.ran.size(), 4);
  EXPECT_EQ(operations_.since_days.value(2), std::optional<QDate>(QDate(2026, 12, 11)));
  EXPECT_EQ(operations_.since_days.value(3), std::optional<QDate>(QDate(2026, 12, 11)));
  EXPECT_EQ(Said("failed").size(), 2);
  EXPECT_TRUE(DescribeWatchStatus(Status()).contains(
      "Qorv download of log Main failed: the service failed"));
  operations_.succeed = true;
  clock_.Advance(30 * 60);
  Loop().Pass();
  EXPECT_EQ(operations_.ran.size(), 6);
  EXPECT_TRUE(Status()["failed"].toObject().isEmpty());

  // A restart remembers the last downloads.
  Restart();
  clock_.Advance(3600);
  Loop().Pass();
  EXPECT_EQ(operations_.ran.size(), 6);
}

TEST_F(WatchScheduleTest, WaitsWhileAnotherProcessHoldsTheLockAndNeverFails) {
  WriteWatchSettings({"Logs=Main", "QorvQuietMinutes=0", "DownloadHours=6"});
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t window = fork();
  ASSERT_GE(window, 0);
  if (window == 0) {
    OperationLock lock(database_, "the window");
    const char held = lock.Held() ? 1 : 0;
    (void)!write(ready[1], &held, 1);
    pause();
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 1);
  for (int pass = 0; pass < 3; ++pass) {
    Loop().Pass();
    clock_.Advance(60);
  }
  EXPECT_TRUE(operations_.ran.isEmpty());
  const QStringList waiting = Said("waiting");
  ASSERT_EQ(waiting.size(), 2);  // once per operation, however long it waits
  EXPECT_TRUE(waiting[0].contains("the window")) << waiting[0].toStdString();
  EXPECT_TRUE(Said("failed").isEmpty());

  kill(window, SIGKILL);
  waitpid(window, nullptr, 0);
  Loop().Pass();
  EXPECT_EQ(operations_.ran, (QStringList{"Qorv download Main", "eQSL download Main"}));
  EXPECT_TRUE(Status()["waiting"].toArray().isEmpty());
}

TEST_F(WatchScheduleTest, SaysEachActionAsOneLineOrOneJsonObject) {
  const WatchEvent event{"sent", "K1ABC went to Club Log (OK).", {{"log", "Main"}, {"id", 3}}};
  const QDateTime now(QDate(2026, 12, 11), QTime(10, 0), Qt::UTC);
  EXPECT_EQ(EventLine(event, false, now), "K1ABC went to Club Log (OK).");
  const QString line = EventLine(event, true, now);
  EXPECT_FALSE(line.contains(u'\n'));
  const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
  EXPECT_EQ(object["action"].toString(), "sent");
  EXPECT_EQ(object["message"].toString(), event.message);
  EXPECT_EQ(object["time"].toString(), "2026-12-11T10:00:00Z");
  EXPECT_EQ(object["log"].toString(), "Main");
  EXPECT_EQ(object["id"].toInt(), 3);
}

TEST_F(WatchScheduleTest, StatusNamesWhatIsParkedFailedAndDue) {
  WriteWatchSettings({"Logs=Main", "ClublogRealtime=1", "DownloadHours=6"});
  Loop().Pass();
  LogQso("K9PRK");
  AnswerWith("500 1");
  Loop().Pass();
  LogQso("K9REJ", "10:20");
  AnswerWith("400 Bad QSO");
  Loop().Pass();
  const QStringList lines = DescribeWatchStatus(Status());
  const QString text = lines.join(u'\n');
  EXPECT_TRUE(text.contains("parked: K9PRK 2026-12-11 10:15 14 FT8 (log Main), 1 tries"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("rejected by Club Log: K9REJ 2026-12-11 10:20 14 FT8"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("Bad QSO"));
  EXPECT_TRUE(text.contains("Qorv download of log Main due at 2026-12-11T16:00:00Z"))
      << text.toStdString();
}

}  // namespace
