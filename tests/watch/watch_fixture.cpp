#include "watch/watch_fixture.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include "create/logbook_schema.h"
#include "platform/text_codec.h"

void WatchTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  settings_file_ = dir_.filePath("qorv.ini");
  database_ = dir_.filePath("logs.mdb");
  state_folder_ = dir_.filePath("state") + u'/';
  ASSERT_TRUE(QDir().mkpath(state_folder_));
  {
    LogbookDatabaseWriter writer(database_);
    writer.CreateAconfigTable();
    writer.AddLog({"Main", "HOME", "log_main", "", "", "", ""});
    writer.CreateLogTable("log_main");
  }
  // Logged before real-time sending was turned on.
  LogQso("OLD1");
  LogQso("OLD2");
  double_.WriteState("accounts.txt", "clublog\top@example.org\tclub=pw\tW1AW\n");
  ASSERT_TRUE(double_.Start());
  operations_.clublog = {QStringLiteral("http://127.0.0.1:%1").arg(double_.http_port()),
                         "op@example.org", "club=pw", "W1AW"};
  WriteWatchSettings({"Logs=Main", "ClublogRealtime=1"});
}

void WatchTest::WriteWatchSettings(const QStringList& lines) {
  WriteTextFileLines(settings_file_, QStringList{"[Watch]"} + lines);
}

qint64 WatchTest::LogQso(const QString& call, const QString& time) {
  LogbookDatabaseWriter writer(database_);
  Qso qso;
  qso.QSODate = "2026-12-11";
  qso.QSOTime = time;
  qso.CallSign = call;
  qso.DigiBand = 14;
  qso.QSOBand = "14.07400";
  qso.QSOMode = "FT8";
  writer.InsertQsos("log_main", {qso});
  QSqlQuery query(writer.Connection());
  query.exec("SELECT max(rowid) FROM log_main");
  query.next();
  return query.value(0).toLongLong();
}

void WatchTest::ChangeQso(qint64 rowid, const QString& column, const QString& value) {
  LogbookDatabaseWriter writer(database_);
  QSqlQuery query(writer.Connection());
  query.prepare(QStringLiteral("UPDATE log_main SET %1 = :value WHERE rowid = :id").arg(column));
  query.bindValue(":value", value);
  query.bindValue(":id", rowid);
  ASSERT_TRUE(query.exec());
}

void WatchTest::AnswerWith(const QByteArray& answer) {
  double_.WriteState("clublog/realtime-answer", answer + "\n");
}

QList<ReceivedQso> WatchTest::Received() const {
  QList<ReceivedQso> received;
  for (const QByteArray& line : double_.ReadState("clublog/realtime-received.txt").split('\n')) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() < 4) continue;
    received.append({fields[1].toInt(), QString::fromUtf8(fields[2]),
                     QString::fromUtf8(fields.mid(3).join('\t'))});
  }
  return received;
}

WatchLoop& WatchTest::Loop() {
  if (!loop_) {
    loop_ = std::make_unique<WatchLoop>(
        WatchPlaces{settings_file_, database_, state_folder_,
                    QStringLiteral(QORV_SOURCE_DIR "/src/upload/Submode.txt")},
        operations_, [this](const WatchEvent& event) { events_.append(event); }, clock_,
        [this] { return display_; });
  }
  return *loop_;
}

QJsonObject WatchTest::Status() const { return ReadWatchStatus(WatchStatusPath(state_folder_)); }

QStringList WatchTest::Said(const QString& action) const {
  QStringList said;
  for (const WatchEvent& event : events_) {
    if (event.action == action) said << event.message;
  }
  return said;
}
