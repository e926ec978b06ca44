// A watched logbook for the watch tests: a real log database, "qorv.ini" with
// [Watch], a state folder, the real service double as Club Log, and
// operations that send to it for real and record the others.
#ifndef QORVSYNC_TESTS_WATCH_WATCH_FIXTURE_H_
#define QORVSYNC_TESTS_WATCH_WATCH_FIXTURE_H_

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "platform/clock.h"
#include "support/service_double_process.h"
#include "watch/watch_loop.h"

class FakeClock : public Clock {
 public:
  QDateTime NowUtc() const override { return now; }
  QDateTime NowLocal() const override { return now.toLocalTime(); }
  quint32 TickCount() const override { return 0; }
  void Advance(qint64 seconds) { now = now.addSecs(seconds); }

  QDateTime now = QDateTime(QDate(2026, 12, 11), QTime(10, 0), Qt::UTC);
};

class RecordingOperations : public WatchOperations {
 public:
  OperationOutcome DownloadQorv(const QString& log, const std::optional<QDate>& since) override {
    since_days << since;
    return Ran("Qorv download", log);
  }
  OperationOutcome DownloadEqsl(const QString& log, const std::optional<QDate>& since) override {
    since_days << since;
    return Ran("eQSL download", log);
  }
  OperationOutcome UploadQorv(const QString& log) override { return Ran("Qorv upload", log); }
  RealtimeResult SendRealtime(const QString&, const QString& adif_record) override {
    return SendRealtimeQso(clublog, adif_record);
  }

  ClublogSettings clublog;
  QStringList ran;                         // "<operation> <log>", in order
  QList<std::optional<QDate>> since_days;  // of each download, in order
  bool succeed = true;

 private:
  OperationOutcome Ran(const QString& what, const QString& log) {
    ran << what + u' ' + log;
    return {succeed, succeed ? QStringLiteral("done") : QStringLiteral("the service failed")};
  }
};

// One QSO as Club Log's double received it.
struct ReceivedQso {
  int status = 0;
  QString answer;
  QString adif;
};

class WatchTest : public testing::Test {
 protected:
  void SetUp() override;

  // "[Watch]" with these lines, replacing the settings file.
  void WriteWatchSettings(const QStringList& lines);
  // A QSO logged into log "Main" now; its rowid.
  qint64 LogQso(const QString& call, const QString& time = QStringLiteral("10:15"));
  void ChangeQso(qint64 rowid, const QString& column, const QString& value);
  // The switch of the double's real-time interface.
  void AnswerWith(const QByteArray& answer);
  QList<ReceivedQso> Received() const;

  WatchLoop& Loop();  // made at the first use
  void Restart() { loop_.reset(); }
  QJsonObject Status() const;
  // The events said so far with this action.
  QStringList Said(const QString& action) const;

  QTemporaryDir dir_;
  QString settings_file_;
  QString database_;
  QString state_folder_;
  ServiceDoubleProcess double_;
  RecordingOperations operations_;
  FakeClock clock_;
  bool display_ = true;
  QList<WatchEvent> events_;

 private:
  std::unique_ptr<WatchLoop> loop_;
};

#endif  // QORVSYNC_TESTS_WATCH_WATCH_FIXTURE_H_
