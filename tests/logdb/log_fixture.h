#ifndef QORVSYNC_TESTS_LOGDB_LOG_FIXTURE_H_
#define QORVSYNC_TESTS_LOGDB_LOG_FIXTURE_H_

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include "create/logbook_schema.h"

// A log database in a temporary folder and a second connection to look at
// it the way the logbook would.
class LogFixture : public testing::Test {
 protected:
  QString Path() const { return dir_.filePath(QStringLiteral("logs.mdb")); }

  static Qso MakeQso(const char* date, const char* time, const char* call, double band,
                     const char* mode) {
    Qso qso;
    qso.QSODate = QLatin1String(date);
    qso.QSOTime = QLatin1String(time);
    qso.CallSign = QLatin1String(call);
    qso.DigiBand = band;
    qso.QSOMode = QLatin1String(mode);
    return qso;
  }

  // The first value the query gives, read through a connection of its own.
  QVariant Peek(const QString& sql) const {
    QVariant value;
    {
      QSqlDatabase db =
          QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
      db.setDatabaseName(Path());
      EXPECT_TRUE(db.open());
      QSqlQuery query(db);
      EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
      if (query.next()) value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return value;
  }

  QTemporaryDir dir_;
};

#endif  // QORVSYNC_TESTS_LOGDB_LOG_FIXTURE_H_
