#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>
#include <future>
#include <thread>

#include "log_fixture.h"
#include "logdb/log_database.h"
#include "platform/app_error.h"

namespace {

class WriteBatchTest : public LogFixture {
 protected:
  void SetUp() override {
    LogbookDatabaseWriter writer(Path());
    writer.CreateLogTable(QStringLiteral("Log_Home"));
    QList<Qso> qsos;
    for (int i = 0; i < 5; ++i) qsos << MakeQso("2021-09-15", "18:24", "ABCDE", 14, "FT8");
    writer.InsertQsos(QStringLiteral("Log_Home"), qsos);
    db_.OpenLogDatabase(Path());
  }

  void Confirm(qint64 rowid) {
    db_.ChangeRow(QStringLiteral("Log_Home"), rowid, {{QStringLiteral("QorvRec"), true}});
  }

  int ConfirmedSeenByLogbook() const {
    return Peek(QStringLiteral("SELECT sum(QorvRec) FROM Log_Home")).toInt();
  }

  LogDatabase db_;
};

TEST_F(WriteBatchTest, ChangesBecomeVisibleWithinTheCommitInterval) {
  LogDatabase::WriteBatch batch(db_);
  Confirm(1);
  Confirm(2);
  EXPECT_EQ(ConfirmedSeenByLogbook(), 0) << "changes are grouped into one transaction";
  QThread::msleep(LogDatabase::kBatchCommitMs + 10);
  db_.MaybeCommit();
  EXPECT_EQ(ConfirmedSeenByLogbook(), 2);
  Confirm(3);
  batch.Commit();
  EXPECT_EQ(ConfirmedSeenByLogbook(), 3);
}

TEST_F(WriteBatchTest, ChangesBeforeAnErrorStay) {
  try {
    LogDatabase::WriteBatch batch(db_);
    Confirm(1);
    Confirm(2);
    db_.ChangeRow(QStringLiteral("Log_Home"), 3, {{QStringLiteral("NoSuchColumn"), 1}});
    ADD_FAILURE() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), "Field 'NoSuchColumn' not found");
  }
  EXPECT_EQ(ConfirmedSeenByLogbook(), 2);
  // The connection has left the transaction: the logbook can write at once.
  LogbookDatabaseWriter logbook(Path());
  logbook.Execute(QStringLiteral("PRAGMA busy_timeout = 0"));
  logbook.Execute(QStringLiteral("UPDATE Log_Home SET QorvRec = 1 WHERE ID = 5"));
  EXPECT_EQ(ConfirmedSeenByLogbook(), 3);
}

TEST_F(WriteBatchTest, WriteWaitsForTheLogbooksTransaction) {
  for (const bool batched : {false, true}) {
    std::promise<void> locked;
    std::thread logbook([this, &locked] {
      LogbookDatabaseWriter writer(Path());
      writer.Execute(QStringLiteral("BEGIN IMMEDIATE"));
      writer.Execute(QStringLiteral("UPDATE Log_Home SET Comment = 'logbook' WHERE ID = 4"));
      locked.set_value();
      QThread::msleep(300);
      writer.Execute(QStringLiteral("COMMIT"));
    });
    locked.get_future().wait();
    QElapsedTimer timer;
    timer.start();
    {
      std::optional<LogDatabase::WriteBatch> batch;
      if (batched) batch.emplace(db_);
      Confirm(batched ? 2 : 1);
    }
    EXPECT_GE(timer.elapsed(), 200) << "batched " << batched;
    logbook.join();
    EXPECT_EQ(ConfirmedSeenByLogbook(), batched ? 2 : 1);
    EXPECT_EQ(Peek(QStringLiteral("SELECT Comment FROM Log_Home WHERE ID = 4")).toString(),
              "logbook");
  }
}

// The write-ahead log is copied into the database once, when the batch ends,
// not at every few of its commits; afterwards SQLite's default holds again.
TEST_F(WriteBatchTest, LogIsCopiedIntoTheDatabaseWhenTheBatchEnds) {
  const auto pragma = [this](const char* sql) {
    QSqlQuery query(db_.Connection());
    EXPECT_TRUE(query.exec(QLatin1String(sql)));
    return query.next() ? query.value(0).toInt() : -1;
  };
  {
    LogDatabase::WriteBatch batch(db_);
    Confirm(1);
    batch.Commit();
    EXPECT_EQ(pragma("PRAGMA wal_autocheckpoint"), 0);
    EXPECT_EQ(ConfirmedSeenByLogbook(), 1);
  }
  EXPECT_EQ(pragma("PRAGMA wal_autocheckpoint"), 1000);
  // Nothing is left in the log that the database does not hold.
  QSqlQuery checkpoint(db_.Connection());
  ASSERT_TRUE(checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")));
  ASSERT_TRUE(checkpoint.next());
  EXPECT_EQ(checkpoint.value(1).toInt(), checkpoint.value(2).toInt());
}

}  // namespace
