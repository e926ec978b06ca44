#include <gtest/gtest.h>

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "create/installation.h"
#include "logdb/log_database.h"
#include "platform/ini_file.h"
#include "platform/registry.h"

namespace {

class LogbookCreateTest : public testing::Test {
 protected:
  QString Install() const { return dir_.filePath(QStringLiteral("Vodrix_Log3")); }
  QString RegistryFile() const { return dir_.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")); }

  QTemporaryDir dir_;
};

TEST_F(LogbookCreateTest, WritesAnInstallationTheProgramCanStartFrom) {
  CreateInstallation(Install(), 1000, 3, RegistryFile());

  EXPECT_TRUE(QDir(Install() + QStringLiteral("/Download")).exists());
  EXPECT_TRUE(QDir(Install() + QStringLiteral("/Qorv Logs")).exists());
  EXPECT_EQ(IniFile(Install() + QStringLiteral("/Vodrix_Log3.ini"))
                .ReadString(QStringLiteral("EditNewQso"), QStringLiteral("LogName")),
            "Home");

  Registry registry(RegistryFile());
  ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3"), false));
  EXPECT_EQ(registry.ReadString(QStringLiteral("InstallPath")), Install() + QLatin1Char('/'));
  ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv"), false));
  for (const char* name : {"QorvDate_Date", "eQSLDate_Date"}) {
    bool ok = false;
    EXPECT_GT(registry.ReadString(QLatin1String(name)).toDouble(&ok), 40000) << name;
    EXPECT_TRUE(ok) << name;
  }
  EXPECT_FALSE(registry.ReadString(QStringLiteral("edtTQSLStationLocationName_Text")).isEmpty());
  ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Vodrix_Log3\\TfmEditNewQso"), false));
  EXPECT_TRUE(registry.ValueExists(QStringLiteral("TrustedQSLPatch")));
  ASSERT_TRUE(registry.OpenKey(
      QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"), false));
  EXPECT_EQ(registry.ReadInteger(QStringLiteral("ProxyEnable")), 0);

  LogDatabase db;
  db.OpenLogDatabase(Install() + QStringLiteral("/db/logs.mdb"));
  const LogConfiguration home = db.LoadLogConfiguration(QStringLiteral("Home"));
  EXPECT_FALSE(home.EQorvUserName.isEmpty());
  EXPECT_FALSE(home.EQSLPassword.isEmpty());
  const QStringList tables = db.LogSetTables(home.LogSet);
  ASSERT_EQ(tables.size(), 3);
  EXPECT_EQ(tables[0], home.LogFileName);
  EXPECT_EQ(db.LogSetTables(db.LoadLogConfiguration(QStringLiteral("Club")).LogSet).size(), 1);

  // Every log holds QSOs; all together as many as asked for, each with a
  // frequency inside the band it is filed under.
  QSqlQuery query(db.Connection());
  int total = 0;
  for (const QString& table : tables + QStringList{QStringLiteral("Log_Club")}) {
    ASSERT_TRUE(query.exec(
        QStringLiteral(
            "SELECT count(*), sum(CAST(QSOBand AS REAL) NOT BETWEEN DigiBand AND "
            "DigiBand * 1.15), sum(QorvSent = 0), sum(QorvRec), sum(SAT_NAME != ''),"
            " count(DISTINCT QSOMode), count(DISTINCT substr(CallSign, 1, 2)) FROM \"%1\"")
            .arg(table)));
    ASSERT_TRUE(query.next());
    EXPECT_GT(query.value(0).toInt(), 0) << table.toStdString();
    EXPECT_EQ(query.value(1).toInt(), 0) << table.toStdString();
    total += query.value(0).toInt();
    if (table == home.LogFileName) {
      EXPECT_GT(query.value(2).toInt(), 0);
      EXPECT_GT(query.value(3).toInt(), 0);
      EXPECT_GT(query.value(4).toInt(), 0);
      EXPECT_GE(query.value(5).toInt(), 7);
      EXPECT_GT(query.value(6).toInt(), 30);
    }
  }
  EXPECT_EQ(total, 1000);
}

TEST_F(LogbookCreateTest, CommandLine) {
  EXPECT_EQ(RunCreateCommand({QStringLiteral("--create")}), 2);
  EXPECT_EQ(RunCreateCommand({QStringLiteral("--create"), Install(), QStringLiteral("--qsos"),
                              QStringLiteral("many")}),
            2);
  EXPECT_FALSE(QDir(Install()).exists());
  EXPECT_EQ(RunCreateCommand({QStringLiteral("--create"), Install(), QStringLiteral("--qsos"),
                              QStringLiteral("10"), QStringLiteral("--seed"), QStringLiteral("5")}),
            0);
  LogDatabase db;
  db.OpenLogDatabase(Install() + QStringLiteral("/db/logs.mdb"));
  QSqlQuery query(db.Connection());
  ASSERT_TRUE(query.exec(QStringLiteral(
      "SELECT (SELECT count(*) FROM Log_Home) + (SELECT count(*) FROM Log_Portable) + "
      "(SELECT count(*) FROM Log_Contest) + (SELECT count(*) FROM Log_Club)")));
  ASSERT_TRUE(query.next());
  EXPECT_EQ(query.value(0).toInt(), 10);
}

}  // namespace
