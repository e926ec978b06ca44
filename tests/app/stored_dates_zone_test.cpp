// The two stored start dates in the time zones users live in: start-up shows
// the stored day, the downloads ask from it and store the new day with the
// stored time of day, and the next start shows what was stored; the window
// and the command line alike.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "app/app_test_support.h"
#include "app/logbook_fixture.h"
#include "app/program_actions.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "support/loopback_http_server.h"

namespace {

const QString kDatesKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");

// The process's time zone for one test; the zone before comes back after.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* before = std::getenv("TZ")) before_ = before;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (before_) {
      setenv("TZ", before_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> before_;
};

// A clock whose date stands at the moment of the presses while its ticks run
// on, so that the waits of the logbook nudge end.
class PressClock : public SystemClock {
 public:
  explicit PressClock(const QDateTime& utc) : utc_(utc) { SetProgramClock(this); }
  ~PressClock() override { SetProgramClock(nullptr); }
  PressClock(const PressClock&) = delete;
  PressClock& operator=(const PressClock&) = delete;

  QDateTime NowUtc() const override { return utc_; }
  QDateTime NowLocal() const override { return utc_.toLocalTime(); }

 private:
  QDateTime utc_;
};

// Both services at once: a Qorv report without records, an eQSL inbox page
// whose file holds none either.
ScriptedReply Serve(const RecordedRequest& request) {
  if (request.target.startsWith("/qorvuser/")) {
    return ScriptedReply::Ok("ARRL Qorv Status Report\r\n<eoh>\r\n");
  }
  if (request.target.startsWith("/qslcard/")) {
    return ScriptedReply::Ok("<LI><A HREF=\"../downloadedfiles/in.adi\">.ADI file</A>");
  }
  return ScriptedReply::Ok("ADIF 3 Export from eQSL.cc\r\n<EOH>\r\n");
}

class StoredDatesZoneTest : public LogbookTest {
 protected:
  QString Stored(const char* name) const {
    return RegistryKey(kDatesKey).ReadString(QLatin1String(name));
  }
  QDateEdit* Box(const char* name) const { return Find<QDateEdit>(name); }
  void Press(int page) {
    Find<QTabWidget>("RzPageControl1")->setCurrentIndex(page);
    Find<QPushButton>("btnQorv")->click();
  }
};

TEST_F(StoredDatesZoneTest, StoredDatesKeepTheirDayAndTimeOfDayInEveryZone) {
  struct Case {
    const char* zone;
    const char* stored;   // both dates before the run
    QDate shown;          // the day the boxes show at start-up
    QDateTime press_utc;  // the moment of the presses
    const char* stored_after;
  };
  const Case cases[] = {
      // 9 October 2021 20:00 is already 10 October in UTC.
      {"America/New_York", "44478.8333333333", QDate(2021, 10, 9),
       QDateTime(QDate(2021, 10, 12), QTime(3, 0), Qt::UTC), "44481.8333333333"},
      // Half an hour off UTC.
      {"Asia/Kolkata", "44478.0208333333", QDate(2021, 10, 9),
       QDateTime(QDate(2021, 10, 11), QTime(20, 0), Qt::UTC), "44480.0208333333"},
      // Thirteen hours ahead in summer: 00:30 there is the day before in UTC.
      {"Pacific/Auckland", "44478.0208333333", QDate(2021, 10, 9),
       QDateTime(QDate(2021, 10, 11), QTime(20, 0), Qt::UTC), "44480.0208333333"},
      // Moved onto 14 March 2021, when 02:30 does not exist on the local clock.
      {"America/New_York", "44268.1041666667", QDate(2021, 3, 13),
       QDateTime(QDate(2021, 3, 14), QTime(12, 0), Qt::UTC), "44269.1041666667"},
      // Clocks go forward at midnight: 5 September 2021 has no 00:00 there.
      {"America/Santiago", "44443", QDate(2021, 9, 4),
       QDateTime(QDate(2021, 9, 5), QTime(12, 0), Qt::UTC), "44444"},
      // The stored day itself is the one the clocks go back on.
      {"Europe/Berlin", "44500.0833333333", QDate(2021, 10, 31),
       QDateTime(QDate(2021, 11, 2), QTime(9, 0), Qt::UTC), "44502.0833333333"},
      // Stored inside the gap: 8 September 2024 has no 00:00 in Chile.
      {"America/Santiago", "45543", QDate(2024, 9, 8),
       QDateTime(QDate(2024, 9, 9), QTime(12, 0), Qt::UTC), "45544"},
      // Moved into the gap: 26 April 2024 has no 00:00 in Egypt.
      {"Africa/Cairo", "45407", QDate(2024, 4, 25),
       QDateTime(QDate(2024, 4, 26), QTime(10, 0), Qt::UTC), "45408"},
  };
  LoopbackHttpServer server;
  server.SetHandler(Serve);
  CreateInstallation();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + c.stored);
    ScopedTimeZone zone(c.zone);
    WriteTextFileLines(ProgramFolder() + "qorv.ini",
                       {"[Services]", "Qorv=" + server.Url(""), "eQSL=" + server.Url("")});
    Registry dates = RegistryKey(kDatesKey);
    dates.WriteString(QStringLiteral("QorvDate_Date"), QLatin1String(c.stored));
    dates.WriteString(QStringLiteral("eQSLDate_Date"), QLatin1String(c.stored));

    RecordingShell shell;
    PressClock clock(c.press_utc);
    Create(ProgramActions());
    ASSERT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.MessageTexts().join('\n').toStdString();
    EXPECT_EQ(Box("DateTimePicker")->date(), c.shown);
    EXPECT_EQ(Box("DateTimePicker2")->date(), c.shown);

    const qsizetype before = server.Requests().size();
    Press(0);
    Press(1);
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 3);
    // The downloads ask from the day shown.
    EXPECT_TRUE(requests[before].target.contains("&qso_qslsince=" +
                                                 c.shown.toString("yyyy-MM-dd").toLatin1()));
    EXPECT_TRUE(requests[before + 1].target.endsWith("&RcvdSince=" +
                                                     c.shown.toString("yyyyMMdd").toLatin1()));
    EXPECT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.MessageTexts().join('\n').toStdString();
    EXPECT_EQ(Stored("QorvDate_Date"), QLatin1String(c.stored_after));
    EXPECT_EQ(Stored("eQSLDate_Date"), QLatin1String(c.stored_after));

    // Closing leaves them alone; the next start shows the new day.
    window_->close();
    window_.reset();
    EXPECT_EQ(Stored("QorvDate_Date"), QLatin1String(c.stored_after));
    dialogs_.messages.clear();
    Create(ProgramActions());
    EXPECT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.MessageTexts().join('\n').toStdString();
    EXPECT_EQ(Box("DateTimePicker")->date(), c.press_utc.date());
    EXPECT_EQ(Box("DateTimePicker2")->date(), c.press_utc.date());
    window_.reset();
    dialogs_.messages.clear();
  }
}

// The command line in the zones whose clocks skip midnight: it starts with a
// stored date inside the gap, asks from that day, and stores such a date
// itself when a range ends on it.
TEST_F(StoredDatesZoneTest, CommandLineCopesWithStoredDatesTheClockSkips) {
  struct Case {
    const char* zone;
    QDate gap_day;  // 00:00 does not exist there
  };
  const Case cases[] = {{"America/Santiago", QDate(2024, 9, 8)},
                        {"Africa/Cairo", QDate(2024, 4, 26)}};
  LoopbackHttpServer server;
  server.SetHandler(Serve);
  CreateInstallation();
  const QString binary = QStringLiteral(QORV_BINARY_DIR "/src/qorvsync");
  ASSERT_TRUE(QFile::copy(binary, ProgramFolder() + "qorvsync"));
  WriteTextFileLines(ProgramFolder() + "qorv.ini",
                     {"[Services]", "Qorv=" + server.Url(""), "eQSL=" + server.Url("")});
  const QDate epoch(1899, 12, 30);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    const QString gap_value = QString::number(epoch.daysTo(c.gap_day));
    {
      Registry dates = RegistryKey(kDatesKey);
      dates.WriteString(QStringLiteral("QorvDate_Date"), gap_value);
      dates.WriteString(QStringLiteral("eQSLDate_Date"), gap_value);
    }
    // The first request of a run of the program, which must succeed.
    const auto run = [&](const QStringList& arguments) {
      const size_t before = server.Requests().size();
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("TZ"), QLatin1String(c.zone));
      env.remove(QStringLiteral("DISPLAY"));
      QProcess process;
      process.setProcessEnvironment(env);
      process.start(ProgramFolder() + "qorvsync", arguments);
      EXPECT_TRUE(process.waitForFinished(60000));
      EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
      const std::vector<RecordedRequest> requests = server.Requests();
      return requests.size() > before ? requests[before].target : QByteArray();
    };
    const QByteArray gap_day = c.gap_day.toString("yyyy-MM-dd").toLatin1();

    EXPECT_TRUE(run({"download", "qorv"}).endsWith("&qso_qslsince=" + gap_day));
    run({"download", "qorv", "--from", "2024-01-01", "--to", c.gap_day.toString(Qt::ISODate)});
    EXPECT_EQ(Stored("QorvDate_Date"), gap_value);
    EXPECT_TRUE(run({"download", "qorv"}).endsWith("&qso_qslsince=" + gap_day));

    // A range ending in the future stores the UTC day of the run, and the
    // next run asks from there.
    const QDate first_day = QDateTime::currentDateTimeUtc().date();
    run({"download", "eqsl", "--from", "2024-01-01", "--to", "2099-01-01"});
    const QDate last_day = QDateTime::currentDateTimeUtc().date();
    const QDate stored_day = epoch.addDays(Stored("eQSLDate_Date").toLongLong());
    EXPECT_TRUE(stored_day == first_day || stored_day == last_day)
        << Stored("eQSLDate_Date").toStdString();
    EXPECT_TRUE(run({"download", "eqsl"})
                    .endsWith("&RcvdSince=" + stored_day.toString("yyyyMMdd").toLatin1()));
  }
}

}  // namespace
