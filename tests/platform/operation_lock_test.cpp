// The operation lock on a real SQLite file: one lock whatever the
// environment or the path's spelling, kept while SQLite and other
// descriptors of the same file come and go in the holder's process, and out
// of reach of another user who can read the database.
#include "platform/operation_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "platform/text_codec.h"

namespace {

class OperationLockTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(dir_.filePath("db")));
    database_ = dir_.filePath("db/logs.mdb");
    Sql([](QSqlDatabase& db) {
      QSqlQuery(db).exec("CREATE TABLE Log1 (ID INTEGER PRIMARY KEY, CallSign TEXT)");
    });
  }

  // Runs `work` on a connection of its own, closed afterwards.
  template <typename Work>
  void Sql(Work work) {
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "lock_test");
      db.setDatabaseName(database_);
      ASSERT_TRUE(db.open());
      work(db);
      db.close();
    }
    QSqlDatabase::removeDatabase("lock_test");
  }

  QTemporaryDir dir_;
  QString database_;
};

TEST_F(OperationLockTest, OneLockWhateverTheEnvironmentOrThePathsSpelling) {
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  ASSERT_TRUE(QFile::link(dir_.filePath("db"), dir_.filePath("linked")));
  {
    const OperationLock window(database_, "the window");
    ASSERT_TRUE(window.Held()) << window.Refusal().toStdString();
    // A timer's run: no runtime folder, the path through a link.
    qunsetenv("XDG_RUNTIME_DIR");
    const OperationLock timer(dir_.filePath("linked/logs.mdb"), "qorvsync download qorv");
    EXPECT_FALSE(timer.Held());
    EXPECT_TRUE(
        timer.Refusal().startsWith("Another qorvsync is working on this logbook (the window, "
                                   "process " +
                                   QString::number(getpid()) + ")"))
        << timer.Refusal().toStdString();
    qputenv("XDG_RUNTIME_DIR", "/elsewhere");
    EXPECT_FALSE(OperationLock(database_, "qorvsync upload").Held());
  }
  qputenv("XDG_RUNTIME_DIR", saved);
  // Released with its holder, and the note no longer names it.
  const OperationLock next(database_, "qorvsync import");
  EXPECT_TRUE(next.Held()) << next.Refusal().toStdString();
}

TEST_F(OperationLockTest, HeldWhileSqliteAndOtherDescriptorsOfTheFileComeAndGo) {
  const OperationLock lock(database_, "the window");
  ASSERT_TRUE(lock.Held());
  // SQLite locks, writes and closes the same file in the holder's process;
  // a plain descriptor is opened and closed too. POSIX record locks would be
  // dropped by either close.
  Sql([](QSqlDatabase& db) {
    EXPECT_TRUE(QSqlQuery(db).exec("INSERT INTO Log1 (CallSign) VALUES ('W1AW')"));
  });
  const int fd = ::open(QFile::encodeName(database_).constData(), O_RDWR);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_FALSE(OperationLock(database_, "qorvsync upload").Held());
  Sql([](QSqlDatabase& db) {
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec("SELECT count(*) FROM Log1") && query.next());
    EXPECT_EQ(query.value(0).toInt(), 1);
  });
}

TEST_F(OperationLockTest, AMissingDatabaseHasNothingToKeepApart) {
  const OperationLock lock(dir_.filePath("db/none.mdb"), "the window");
  EXPECT_TRUE(lock.Held());
  EXPECT_FALSE(QFile::exists(OperationLock::NoteFilePath(dir_.filePath("db/none.mdb"))));
}

// Another user who can read the database and write its folder locks the file
// with flock and plants a link where the note goes: the lock is still taken,
// and nothing is written through the link.
TEST_F(OperationLockTest, AnotherUserCanNeitherBlockNorHijack) {
  const QString setpriv = QStandardPaths::findExecutable("setpriv");
  const QString flock = QStandardPaths::findExecutable("flock");
  if (geteuid() != 0 || setpriv.isEmpty() || flock.isEmpty()) {
    GTEST_SKIP() << "needs root, setpriv and flock to act as another user";
  }
  ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(dir_.filePath("db")).constData(), 0777), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(database_).constData(), 0644), 0);
  const QString victim = dir_.filePath("victim.txt");
  WriteFileBytes(victim, "untouched\n");
  const QString note = OperationLock::NoteFilePath(database_);
  const QString ready = dir_.filePath("db/ready");

  QProcess other;
  other.start(
      setpriv,
      {"--reuid=65534", "--regid=65534", "--clear-groups", flock, "-x", database_, "sh", "-c",
       "ln -s '" + victim + "' '" + note + "' && touch '" + ready + "' && exec sleep 30"});
  QElapsedTimer waited;
  waited.start();
  while (!QFile::exists(ready) && waited.elapsed() < 10000) QThread::msleep(20);
  ASSERT_TRUE(QFile::exists(ready)) << other.readAllStandardError().toStdString();

  {
    const OperationLock lock(database_, "the window");
    EXPECT_TRUE(lock.Held()) << lock.Refusal().toStdString();
    EXPECT_EQ(ReadFileBytes(victim), "untouched\n");
    // The second comes after the first, whoever the note claims.
    const OperationLock second(database_, "qorvsync upload");
    EXPECT_FALSE(second.Held());
  }
  EXPECT_EQ(ReadFileBytes(victim), "untouched\n");
  other.kill();
  other.waitForFinished();
}

}  // namespace
