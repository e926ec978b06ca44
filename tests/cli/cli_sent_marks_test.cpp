// "check-sent" clears a sent mark only for a QSO the whole Qorv report shows
// Qorv does not hold: never one Qorv confirmed, never one whose log time is
// written another way, never from a report cut short.
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

#include "cli/cli_fixture.h"
#include "platform/ini_file.h"
#include "support/loopback_http_server.h"

namespace {

Qso SentQso(const char* time, const char* call, bool confirmed = false) {
  Qso qso;
  qso.QSODate = "2021-09-20";
  qso.QSOTime = time;
  qso.CallSign = call;
  qso.DigiBand = 14;
  qso.QSOMode = "FT8";
  qso.QorvSent = true;
  qso.QorvRec = confirmed;
  qso.QorvRecDate = confirmed ? "2021-10-01" : "";
  return qso;
}

// ID 1 confirmed by Qorv (its report of held QSOs leaves it out), 2 held, 3
// missing, 4 logged "9:05" and held as 0905.
QList<Qso> SentLog() {
  return {SentQso("08:00", "K1AAA", true), SentQso("08:10", "K1BBB"), SentQso("08:20", "K1CCC"),
          SentQso("9:05", "K1DDD")};
}

constexpr char kHeld[] =
    "K1BBB\t20210920\t0810\t20M\tFT8\n"
    "K1DDD\t20210920\t0905\t20M\tFT8\n";

QList<qint64> SentIds(const LogbookSide& side) {
  QList<qint64> ids;
  const QString connection = QUuid::createUuid().toString();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(side.Database());
    db.open();
    QSqlQuery query(QStringLiteral("SELECT ID FROM log_main WHERE QorvSent <> 0 ORDER BY ID"), db);
    while (query.next()) ids << query.value(0).toLongLong();
  }
  QSqlDatabase::removeDatabase(connection);
  return ids;
}

TEST_F(CliTest, CheckSentClearsOnlyTheMarksOfQsosQorvDoesNotHold) {
  LogbookSide side(root_.filePath("side"), service_, SentLog(), {});
  service_.WriteState("uploads/000001-upload.tq8.contacts", kHeld);

  const CommandRun list = side.Run({"check-sent", "--json"});
  ASSERT_EQ(list.exit_code, 0) << list.err.constData();
  const QJsonObject json = Json(list);
  EXPECT_EQ(json["marked_sent"].toInt(), 4);
  ASSERT_EQ(json["not_held"].toArray().size(), 1);
  EXPECT_EQ(json["not_held"][0]["call"].toString(), "K1CCC");

  const CommandRun unmark = side.Run({"check-sent", "--unmark"});
  ASSERT_EQ(unmark.exit_code, 0) << unmark.err.constData();
  EXPECT_TRUE(unmark.out.contains("Sent marks cleared: 1")) << unmark.out.constData();
  EXPECT_EQ(SentIds(side), (QList<qint64>{1, 2, 4}));

  // Nothing left to clear: nothing said about clearing.
  const CommandRun again = side.Run({"check-sent", "--unmark"});
  ASSERT_EQ(again.exit_code, 0) << again.err.constData();
  EXPECT_FALSE(again.out.contains("cleared")) << again.out.constData();
  EXPECT_EQ(SentIds(side), (QList<qint64>{1, 2, 4}));
}

// A report whose announced count is missing or larger than what arrived
// could make every QSO look missing: it clears nothing.
TEST_F(CliTest, CheckSentRefusesAReportThatIsNotWhole) {
  LogbookSide side(root_.filePath("side"), service_, SentLog(), {});
  LoopbackHttpServer server;
  IniFile(side.Program() + "qorv.ini")
      .WriteString("Services", "Qorv", QStringLiteral("http://127.0.0.1:%1").arg(server.Port()));
  const QByteArray header =
      "ARRL Qorv Status Report\n<PROGRAMID:4>Qorv\n<APP_Qorv_NUMREC:1>2\n<eoh>\n";
  const QByteArray first =
      "<CALL:5>K1BBB\n<QSO_DATE:8>20210920\n<TIME_ON:4>0810\n<BAND:3>20M\n<MODE:3>FT8\n<eor>\n";
  const struct {
    const char* what;
    QByteArray body;
    const char* said;
  } cases[] = {
      {"cut inside the second record", header + first + "<CALL:5>K1DDD\n<QSO_DA", "announces 2"},
      {"cut after the header", header, "announces 2 records and 0 arrived"},
      {"no count announced", "ARRL Qorv Status Report\n<eoh>\n" + first, "how many records"},
  };
  for (const auto& report : cases) {
    SCOPED_TRACE(report.what);
    ScriptedReply reply = ScriptedReply::Ok(report.body);
    reply.framing = ScriptedReply::Framing::kUntilClose;
    reply.close = true;
    server.Enqueue(reply);
    const CommandRun run = side.Run({"check-sent", "--unmark"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.contains(report.said)) << run.err.constData();
    EXPECT_TRUE(run.err.contains("Nothing was listed or unmarked")) << run.err.constData();
    EXPECT_FALSE(run.out.contains("Not held")) << run.out.constData();
    EXPECT_EQ(SentIds(side), (QList<qint64>{1, 2, 3, 4}));
  }
}

}  // namespace
