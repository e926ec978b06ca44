#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include "log_fixture.h"
#include "logdb/log_database.h"
#include "platform/app_error.h"

namespace {

class OpenAndConfigTest : public LogFixture {
 protected:
  // Logs of two sets, interleaved, so that the walk's order and filter show.
  void CreateAconfig() {
    LogbookDatabaseWriter writer(Path());
    writer.CreateAconfigTable();
    writer.AddLog({"Portable", "Main", "Log_Portable", "N0CALL", "pw1", "N0CALL", "epw1"});
    writer.AddLog({"Club", "Club", "Log_Club", "N0CLB", "pw2", "N0CLB", "epw2"});
    writer.AddLog({"Home", "Main", "Log_Home", "N0CALL", "pw3", "N0CALL", "epw3"});
    writer.AddLog({"Home", "Other", "Log_Second", "X", "X", "X", "X"});
    writer.AddLog({"Contest", "Main", "Log_Contest", "N0CALL", "pw4", "N0CALL", "epw4"});
    writer.AddLog({"O'Brien", "Set's", "Log_Quote", "Q", "Q", "Q", "Q"});
  }

  std::string OpenError(LogDatabase& db, const QString& path) {
    try {
      db.OpenLogDatabase(path);
    } catch (const AppError& error) {
      return error.Message().toStdString();
    }
    return "opened";
  }
};

TEST_F(OpenAndConfigTest, FilesThatAreNoLogDatabaseGetClearErrors) {
  struct Case {
    const char* name;
    QByteArray content;
    const char* expected;
  };
  const QByteArray access_head = QByteArray("\x00\x01\x00\x00", 4);
  const QByteArray padding(2048, '\0');
  const Case cases[] = {
      {"jet.mdb", access_head + "Standard Jet DB" + padding, "is a Microsoft Access database"},
      {"ace.accdb", access_head + "Standard ACE DB" + padding, "is a Microsoft Access database"},
      {"text.mdb", "LogName=Home\r\n", "is not a database"},
      {"empty.mdb", "", "is not a database"},
      {"damaged.mdb", QByteArray("SQLite format 3\0", 16) + QByteArray(200, '\x7f'),
       "is not a database"},
  };
  for (const Case& c : cases) {
    const QString path = dir_.filePath(QLatin1String(c.name));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.content);
    file.close();
    LogDatabase db;
    const std::string message = OpenError(db, path);
    EXPECT_NE(message.find(c.expected), std::string::npos) << c.name << ": " << message;
    EXPECT_FALSE(db.IsOpen()) << c.name;
  }
}

TEST_F(OpenAndConfigTest, MissingFileIsAnErrorAndNeverCreated) {
  LogDatabase db;
  EXPECT_EQ(OpenError(db, Path()), "Could not find file '" + Path().toStdString() + "'.");
  EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(OpenAndConfigTest, DatabaseLockedBeyondTheBusyTimeOut) {
  {
    LogbookDatabaseWriter writer(Path(), LogbookDatabaseWriter::Journal::kRollback);
    writer.CreateAconfigTable();
  }
  LogbookDatabaseWriter holder(Path(), LogbookDatabaseWriter::Journal::kRollback);
  holder.Execute(QStringLiteral("BEGIN EXCLUSIVE"));
  LogDatabase db(200);
  QElapsedTimer timer;
  timer.start();
  const std::string message = OpenError(db, Path());
  EXPECT_NE(message.find("is locked by another program"), std::string::npos) << message;
  EXPECT_GE(timer.elapsed(), 180);
  holder.Execute(QStringLiteral("COMMIT"));
  EXPECT_EQ(OpenError(db, Path()), "opened");
}

TEST_F(OpenAndConfigTest, ReopeningClosesTheOldConnection) {
  CreateAconfig();
  const QString other = dir_.filePath(QStringLiteral("other.mdb"));
  {
    LogbookDatabaseWriter writer(other);
    writer.CreateAconfigTable();
    writer.AddLog({"Home", "Elsewhere", "Log_Elsewhere", "", "", "", ""});
  }
  LogDatabase db;
  db.OpenLogDatabase(Path());
  EXPECT_EQ(db.LoadLogConfiguration(QStringLiteral("Home")).LogSet, "Main");
  db.OpenLogDatabase(other);
  EXPECT_EQ(db.LoadLogConfiguration(QStringLiteral("Home")).LogSet, "Elsewhere");
}

TEST_F(OpenAndConfigTest, LoadLogConfiguration) {
  CreateAconfig();
  LogDatabase db;
  db.OpenLogDatabase(Path());

  // Two rows named Home: the first in rowid order counts.
  const LogConfiguration home = db.LoadLogConfiguration(QStringLiteral("Home"));
  EXPECT_EQ(home.LogFileName, "Log_Home");
  EXPECT_EQ(home.LogSet, "Main");
  EXPECT_EQ(home.EQorvUserName, "N0CALL");
  EXPECT_EQ(home.EQorvPassword, "pw3");
  EXPECT_EQ(home.EQSLUserName, "N0CALL");
  EXPECT_EQ(home.EQSLPassword, "epw3");

  EXPECT_EQ(db.LoadLogConfiguration(QStringLiteral("O'Brien")).LogFileName, "Log_Quote");
  for (const char* name : {"", "Nowhere", "x' OR '1'='1", "%", "Hom_"}) {
    const LogConfiguration none = db.LoadLogConfiguration(QLatin1String(name));
    EXPECT_TRUE(none.LogFileName.isEmpty() && none.LogSet.isEmpty() &&
                none.EQorvUserName.isEmpty() && none.EQorvPassword.isEmpty() &&
                none.EQSLUserName.isEmpty() && none.EQSLPassword.isEmpty())
        << name;
  }
}

TEST_F(OpenAndConfigTest, WalkVisitsTheLogSetInRowOrder) {
  CreateAconfig();
  LogDatabase db;
  db.OpenLogDatabase(Path());
  const LogConfiguration home = db.LoadLogConfiguration(QStringLiteral("Home"));
  EXPECT_EQ(db.LogSetTables(home.LogSet), QStringList({"Log_Portable", "Log_Home", "Log_Contest"}));
  EXPECT_EQ(db.LogSetTables(QStringLiteral("Set's")), QStringList({"Log_Quote"}));
  for (const char* set : {"", "Ma%", "Main' OR '1'='1", "Nowhere"}) {
    EXPECT_TRUE(db.LogSetTables(QLatin1String(set)).isEmpty()) << set;
  }
}

TEST_F(OpenAndConfigTest, MissingAconfigColumnIsReportedByName) {
  {
    LogbookDatabaseWriter writer(Path());
    writer.Execute(
        QStringLiteral("CREATE TABLE Aconfig (LogName TEXT, LogSet TEXT, EQorvUserName TEXT, "
                       "EQorvPassword TEXT, EQSLUserName TEXT, EQSLPassword TEXT)"));
    writer.Execute(QStringLiteral("INSERT INTO Aconfig (LogName, LogSet) VALUES ('Home', 'Main')"));
  }
  LogDatabase db;
  db.OpenLogDatabase(Path());
  for (const char* name : {"Home", "Nowhere"}) {
    try {
      db.LoadLogConfiguration(QLatin1String(name));
      ADD_FAILURE() << "no error for " << name;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Message(), "Field 'LogFileName' not found");
    }
  }
  try {
    db.LogSetTables(QStringLiteral("Main"));
    ADD_FAILURE() << "no error from the walk";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), "Field 'LogFileName' not found");
  }
}

}  // namespace
