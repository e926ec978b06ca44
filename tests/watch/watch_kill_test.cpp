// Exactly once across a real SIGKILL: the watch runs as a process of its own,
// is killed at a kill point while it sends, and is started again.
#include <QFile>
#include <QProcessEnvironment>

#include "kill/killable_process.h"
#include "watch/watch_fixture.h"

namespace {

class WatchKillTest : public WatchTest {
 protected:
  std::unique_ptr<KillableProcess> StartWatch(const QString& stop_at, const QString& output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!stop_at.isEmpty()) environment.insert("QORVSYNC_STOP_AT", stop_at);
    return std::make_unique<KillableProcess>(
        QStringLiteral(QORV_BINARY_DIR "/tests/watch-runner"),
        QStringList{settings_file_, database_, state_folder_,
                    QStringLiteral(QORV_SOURCE_DIR "/src/upload/Submode.txt"),
                    operations_.clublog.service, operations_.clublog.email,
                    operations_.clublog.password, operations_.clublog.callsign},
        environment, dir_.filePath(output));
  }

  // The answers the double gave to the QSO of this call, in order.
  QStringList AnswersFor(const QString& call) const {
    QStringList answers;
    for (const ReceivedQso& qso : Received()) {
      if (qso.adif.contains(QStringLiteral("<CALL:%1>%2<").arg(call.size()).arg(call))) {
        answers << QString::number(qso.status) + u' ' + qso.answer;
      }
    }
    return answers;
  }

  bool SentRecordHolds(const QByteArray& text) const {
    QFile file(state_folder_ + "watch-sent.json");
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
  }

  bool AllLogged(const QStringList& calls) const {
    for (const QString& call : calls) {
      if (!AnswersFor(call).contains("200 OK")) return false;
    }
    return true;
  }
};

TEST_F(WatchKillTest, NoQsoIsLoggedTwiceWhenTheWatchIsKilledWhileSending) {
  struct Case {
    const char* point;
    // What Club Log saw of the QSO whose sending was cut off.
    QStringList cut_off_answers;
  };
  const Case cases[] = {
      {"watch-realtime-sending", {"200 OK"}},
      // The answer came but was not written down: the QSO goes again, and
      // Club Log takes it as the duplicate it is.
      {"watch-realtime-answered", {"200 OK", "200 Dupe"}},
  };
  int round = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.point);
    ++round;
    const QString prefix = QStringLiteral("K%1").arg(round);
    {
      auto watch = StartWatch(QStringLiteral("%1:2").arg(test.point),
                              QStringLiteral("killed%1.txt").arg(round));
      ASSERT_TRUE(watch->Started());
      ASSERT_TRUE(watch->WaitFor(
          [this] { return QFile::exists(state_folder_ + "watch-sent.json"); }, 10000));
      for (const char* suffix : {"AA", "BB", "CC"}) LogQso(prefix + suffix);
      ASSERT_TRUE(watch->WaitForStop(10000));
      ASSERT_TRUE(watch->Kill());
    }
    auto watch = StartWatch({}, QStringLiteral("again%1.txt").arg(round));
    const QStringList calls{prefix + "AA", prefix + "BB", prefix + "CC"};
    ASSERT_TRUE(watch->WaitFor([&] { return AllLogged(calls); }, 10000));
    // A QSO logged while the watch runs reaches Club Log within 2 s.
    LogQso(prefix + "DD");
    EXPECT_TRUE(watch->WaitFor([&] { return AllLogged({prefix + "DD"}); }, 2000));
    // Ended only once its last answer is written down, so that the next round
    // starts with nothing cut off.
    EXPECT_TRUE(watch->WaitFor([this] { return !SentRecordHolds("\"sending\""); }, 5000));
    watch.reset();
    EXPECT_EQ(AnswersFor(prefix + "AA"), QStringList{"200 OK"});
    EXPECT_EQ(AnswersFor(prefix + "BB"), test.cut_off_answers);
    EXPECT_EQ(AnswersFor(prefix + "CC"), QStringList{"200 OK"});
    EXPECT_EQ(AnswersFor(prefix + "DD"), QStringList{"200 OK"});
    EXPECT_EQ(AnswersFor("OLD1"), QStringList{});
  }
}

}  // namespace
