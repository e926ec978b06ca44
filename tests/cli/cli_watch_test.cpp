// The real "qorvsync watch" as a process of its own against the service
// double and the TQSL double: real-time Club Log sending, the quiet-time Qorv
// upload, the lock another holds, "status", SIGTERM, and a kill and restart.
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <functional>
#include <optional>

#include "cli/cli_fixture.h"
#include "platform/ini_file.h"
#include "platform/operation_lock.h"

namespace {

// A running watch and the JSON lines it said so far.
class WatchProcess {
 public:
  WatchProcess(const LogbookSide& side, const QProcessEnvironment& environment) {
    process_.setProcessEnvironment(environment);
    process_.setStandardInputFile(QProcess::nullDevice());
    process_.start(side.Program() + QStringLiteral("qorvsync"),
                   {QStringLiteral("watch"), QStringLiteral("--json")});
  }
  ~WatchProcess() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }

  // Reads what was said until `done` holds; false after `timeout_ms`.
  bool WaitFor(const std::function<bool()>& done, int timeout_ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.elapsed() > timeout_ms) return false;
      process_.waitForReadyRead(50);
      Read();
    }
    return true;
  }
  bool Said(const QString& action, const QString& part) const {
    return std::any_of(events_.cbegin(), events_.cend(), [&](const QJsonObject& event) {
      return event[QStringLiteral("action")] == action &&
             event[QStringLiteral("message")].toString().contains(part);
    });
  }
  qsizetype Count(const QString& part) const {
    return std::count_if(events_.cbegin(), events_.cend(), [&](const QJsonObject& event) {
      return event[QStringLiteral("message")].toString().contains(part);
    });
  }
  // The exit code after SIGTERM (or SIGKILL), -1 when it did not end normally.
  int Signal(int signal_number) {
    ::kill(static_cast<pid_t>(process_.processId()), signal_number);
    if (!process_.waitForFinished(20000)) return -2;
    Read();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
  }
  QString Text() const { return text_; }

 private:
  void Read() {
    pending_ += process_.readAllStandardError();
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
      const QByteArray line = pending_.left(end);
      pending_.remove(0, end + 1);
      text_ += QString::fromUtf8(line) + u'\n';
      QJsonParseError error;
      const QJsonDocument document = QJsonDocument::fromJson(line, &error);
      EXPECT_EQ(error.error, QJsonParseError::NoError) << "not one JSON object: " << line.data();
      events_ << document.object();
    }
  }

  QProcess process_;
  QByteArray pending_;
  QString text_;
  QList<QJsonObject> events_;
};

class CliWatchTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    service_.WriteState("accounts.txt",
                        "qorv\tW1AW\tsecret\neqsl\tW1AW\tsecret\n"
                        "clublog\top@example.org\tclub-pw\tW1AW\n");
    side_ = MakeSide("side");
    IniFile ini(side_->Program() + QStringLiteral("qorv.ini"));
    ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("clublogemail_Text"),
                    QStringLiteral("op@example.org"));
    ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("password_Text"),
                    QStringLiteral("club-pw"));
    ini.WriteString(QStringLiteral("TfrmMain"), QStringLiteral("callsign_Text"),
                    QStringLiteral("W1AW"));
  }

  void Watch(const QString& quiet_minutes, const QString& download_hours) {
    IniFile ini(side_->Program() + QStringLiteral("qorv.ini"));
    ini.WriteString(QStringLiteral("Watch"), QStringLiteral("Logs"), QStringLiteral("Main"));
    ini.WriteString(QStringLiteral("Watch"), QStringLiteral("ClublogRealtime"),
                    QStringLiteral("1"));
    ini.WriteString(QStringLiteral("Watch"), QStringLiteral("QorvQuietMinutes"), quiet_minutes);
    ini.WriteString(QStringLiteral("Watch"), QStringLiteral("DownloadHours"), download_hours);
  }

  // A QSO logged into "Main" as the logbook writes it.
  void LogQso(const QString& call) const {
    Qso qso;
    qso.QSODate = "2026-12-11";
    qso.QSOTime = "10:15";
    qso.CallSign = call;
    qso.DigiBand = 14;
    qso.QSOBand = "14.07400";
    qso.QSOMode = "FT8";
    LogbookDatabaseWriter(side_->Database()).InsertQsos("log_main", {qso});
  }

  // The calls Club Log's real-time double received, in order.
  QStringList ClublogCalls() const {
    QStringList calls;
    for (const QByteArray& line : service_.ReadState("clublog/realtime-received.txt").split('\n')) {
      const qsizetype at = line.indexOf("<CALL:");
      if (at < 0) continue;
      const qsizetype colon = line.indexOf('>', at);
      const int length = line.mid(at + 6, colon - at - 6).toInt();
      calls << QString::fromUtf8(line.mid(colon + 1, length));
    }
    return calls;
  }

  // The contacts of every Qorv upload the double accepted, one a line.
  QString UploadedContacts() const {
    QString contacts;
    const QDir uploads(service_.StatePath("uploads"));
    for (const QString& name : uploads.entryList({"*.contacts"}, QDir::Files, QDir::Name)) {
      contacts += QString::fromUtf8(service_.ReadState("uploads/" + name));
    }
    return contacts;
  }

  QProcessEnvironment WithDisplay() const {
    QProcessEnvironment env = side_->Environment();
    // The TQSL double needs none; the watch only asks whether one is there.
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":99"));
    return env;
  }

  std::unique_ptr<LogbookSide> side_;
};

TEST_F(CliWatchTest, SendsAsLoggedUploadsWhenQuietWaitsForTheLockAndStopsOnSigterm) {
  Watch(QStringLiteral("0.05"), QStringLiteral("6"));
  std::optional<OperationLock> window;
  window.emplace(side_->Database(), QStringLiteral("the window"));
  ASSERT_TRUE(window->Held());

  WatchProcess watch(*side_, WithDisplay());
  // The first pass turned real-time sending on: the four QSOs logged before
  // are left to the batch upload.
  ASSERT_TRUE(watch.WaitFor([&] { return watch.Said("waiting", "Qorv download of log Main"); }))
      << watch.Text().toStdString();
  LogQso(QStringLiteral("K9NEW"));
  QElapsedTimer logged;
  logged.start();
  ASSERT_TRUE(watch.WaitFor([&] { return ClublogCalls().contains("K9NEW"); }, 5000));
  EXPECT_LT(logged.elapsed(), 2000);
  EXPECT_EQ(ClublogCalls(), QStringList{"K9NEW"});

  // The window holds the lock: the downloads and the quiet-time upload wait,
  // said once each, and the watch goes on.
  ASSERT_TRUE(watch.WaitFor([&] { return watch.Said("waiting", "Qorv upload of log Main"); }));
  const CommandRun waiting = side_->Run({"status", "--json"});
  EXPECT_EQ(waiting.exit_code, 0);
  const QString waits = QJsonDocument(Json(waiting)["watch"].toObject()["waiting"].toArray())
                            .toJson(QJsonDocument::Compact);
  EXPECT_TRUE(waits.contains("Qorv upload of log Main waits") && waits.contains("the window"))
      << waits.toStdString();
  EXPECT_EQ(watch.Count("Qorv upload of log Main waits"), 1);
  EXPECT_TRUE(UploadedContacts().isEmpty());

  window.reset();
  // The upload, then the downloads, in the pass after the window let go.
  ASSERT_TRUE(watch.WaitFor([&] { return watch.Said("done", "eQSL download of log Main"); }))
      << watch.Text().toStdString();
  EXPECT_TRUE(watch.Said("done", "Qorv upload of log Main"));
  EXPECT_TRUE(watch.Said("done", "Qorv download of log Main"));
  // Signed by the TQSL double and accepted, the new QSO with the unsent ones.
  EXPECT_TRUE(UploadedContacts().contains("K9NEW")) << UploadedContacts().toStdString();
  EXPECT_TRUE(UploadedContacts().contains("N0CALL"));
  // The status is written at the end of the pass.
  CommandRun status;
  EXPECT_TRUE(watch.WaitFor([&] {
    status = side_->Run({"status"});
    return status.out.contains("Qorv upload of log Main last done at");
  })) << status.out.data();
  EXPECT_EQ(status.exit_code, 0);
  EXPECT_TRUE(status.out.contains("Qorv download of log Main due at")) << status.out.data();
  EXPECT_FALSE(status.out.contains("waits")) << status.out.data();

  EXPECT_EQ(watch.Signal(SIGTERM), 0) << watch.Text().toStdString();
  EXPECT_TRUE(watch.Said("stop", "Stopped."));
  EXPECT_EQ(ClublogCalls(), QStringList{"K9NEW"});
}

TEST_F(CliWatchTest, AKillAndRestartSendsNothingTwiceAndWithoutDisplayTheUploadWaits) {
  Watch(QStringLiteral("0.02"), QStringLiteral("0"));
  const CommandRun never = side_->Run({"status"});
  EXPECT_EQ(never.exit_code, 0);
  EXPECT_TRUE(never.out.contains("No watch has run")) << never.out.data();

  std::optional<WatchProcess> watch(std::in_place, *side_, side_->Environment());
  ASSERT_TRUE(watch->WaitFor([&] { return watch->Said("settings", "Settings read"); }));
  // A pass has run once the status is written.
  ASSERT_TRUE(watch->WaitFor(
      [&] { return QFile::exists(side_->Program() + QStringLiteral("watch-status.json")); }));
  LogQso(QStringLiteral("K9ONE"));
  ASSERT_TRUE(watch->WaitFor([&] { return ClublogCalls().contains("K9ONE"); }, 5000));

  // A second watch over the same state would send the same QSOs.
  const CommandRun second = side_->Run({"watch"}, 20000);
  EXPECT_EQ(second.exit_code, 1);
  EXPECT_TRUE(second.err.contains("another qorvsync watch")) << second.err.data();

  // No display: the upload waits, said once however long it waits.
  ASSERT_TRUE(watch->WaitFor([&] { return watch->Said("waiting", "No display"); }));
  LogQso(QStringLiteral("K9TWO"));
  ASSERT_TRUE(watch->WaitFor([&] { return ClublogCalls().contains("K9TWO"); }, 5000));
  EXPECT_EQ(watch->Signal(SIGKILL), -1);

  LogQso(QStringLiteral("K9THREE"));
  watch.emplace(*side_, side_->Environment());
  ASSERT_TRUE(watch->WaitFor([&] { return ClublogCalls().contains("K9THREE"); }, 5000))
      << watch->Text().toStdString();
  // Another pass or two: nothing sent before goes again.
  QThread::msleep(2500);
  EXPECT_EQ(watch->Signal(SIGTERM), 0);
  EXPECT_EQ(ClublogCalls(), (QStringList{"K9ONE", "K9TWO", "K9THREE"}));
  EXPECT_EQ(watch->Count("No display"), 1);
  EXPECT_TRUE(UploadedContacts().isEmpty());
}

// An operation that fails is said with the command's own reason and listed by
// "status"; the others go on.
TEST_F(CliWatchTest, AFailedOperationIsSaidWithItsReasonAndListedByStatus) {
  service_.WriteState("accounts.txt", "qorv\tW1AW\tsecret\n");
  Watch(QStringLiteral("0"), QStringLiteral("6"));
  WatchProcess watch(*side_, side_->Environment());
  ASSERT_TRUE(watch.WaitFor([&] { return watch.Said("failed", "eQSL download of log Main"); }))
      << watch.Text().toStdString();
  EXPECT_TRUE(watch.Said("done", "Qorv download of log Main"));
  // The log is a fact of its own in each line, for a journal filtered by it.
  EXPECT_TRUE(watch.Text().contains(R"({"action":"failed","log":"Main","message":"eQSL)"))
      << watch.Text().toStdString();
  CommandRun status;
  EXPECT_TRUE(watch.WaitFor([&] {
    status = side_->Run({"status"});
    return status.out.contains("eQSL download of log Main failed: ");
  })) << status.out.data();
  const QString why = QString::fromUtf8(status.out)
                          .section(QStringLiteral("eQSL download of log Main failed: "), 1)
                          .section(u'\n', 0, 0);
  EXPECT_FALSE(why.isEmpty() || why.contains("exit status")) << why.toStdString();
  EXPECT_EQ(watch.Signal(SIGTERM), 0);
}

}  // namespace
