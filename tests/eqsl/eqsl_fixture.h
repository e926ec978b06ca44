// A log database with a two-log set for the eQSL run, the page's date
// controls as plain values, and a recording window.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include "confirmations/confirmation_outcome.h"
#include "confirmations/pending_qsl.h"
#include "create/logbook_schema.h"
#include "eqsl/eqsl_page.h"
#include "logdb/log_database.h"
#include "platform/conversions.h"
#include "session/since_dates.h"
#include "support/recording_ui.h"

struct FakeEqslPage : EqslDates {
  FakeEqslPage()
      : EqslDates{false, QDate(2021, 3, 1), QDate(2021, 3, 15),
                  QDateTime(QDate(2021, 6, 1), QTime(7, 30))} {}
};

class EqslFixture : public testing::Test {
 protected:
  void SetUp() override {
    RegionalSettings settings;
    settings.date_separator = u'.';
    settings.short_date_format = QStringLiteral("dd.mm.yyyy");
    SetRegionalSettings(settings);
    ASSERT_TRUE(QDir().mkpath(ProgramFolder()));
    ASSERT_TRUE(QDir().mkpath(InstallPath()));
    {
      LogbookDatabaseWriter writer(DatabasePath());
      writer.CreateAconfigTable();
      writer.AddLog({"Main", "HOME", "log_main", "", "", "W1AW", "secret"});
      writer.AddLog({"Portable", "HOME", "log_portable", "", "", "W1AW", "secret"});
      writer.AddLog({"Contest", "OTHER", "log_contest", "", "", "W1AW", "secret"});
      for (const char* table : {"log_main", "log_portable", "log_contest"}) {
        writer.CreateLogTable(QLatin1String(table));
      }
    }
    database_.OpenLogDatabase(DatabasePath());
  }

  void TearDown() override { SetRegionalSettings(RegionalSettings()); }

  QString ProgramFolder() const { return dir_.filePath(QStringLiteral("program")) + u'/'; }
  QString InstallPath() const { return dir_.filePath(QStringLiteral("logbook")) + u'/'; }
  QString DatabasePath() const { return dir_.filePath(QStringLiteral("logs.mdb")); }

  static Qso MakeQso(const char* date, const char* time, const char* call, double band,
                     const char* mode, bool marked = false) {
    Qso qso;
    qso.QSODate = QLatin1String(date);
    qso.QSOTime = QLatin1String(time);
    qso.CallSign = QLatin1String(call);
    qso.DigiBand = band;
    qso.QSOMode = QLatin1String(mode);
    qso.QSLReceQSLcc = marked;
    return qso;
  }

  void AddQsos(const char* table, const QList<Qso>& qsos) {
    LogbookDatabaseWriter(DatabasePath()).InsertQsos(QLatin1String(table), qsos);
  }

  // The eQSL marks of a table by call sign, in row order: "N0CALL=1 K1ABC=0".
  QString Marks(const char* table) const {
    QString marks;
    const QString name = QStringLiteral("peek");
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
      db.setDatabaseName(DatabasePath());
      EXPECT_TRUE(db.open());
      QSqlQuery query(db);
      EXPECT_TRUE(query.exec(
          QStringLiteral("SELECT CallSign, QSLReceQSLcc FROM %1 ORDER BY ID").arg(table)));
      while (query.next()) {
        if (!marks.isEmpty()) marks += u' ';
        marks += query.value(0).toString() + u'=' + query.value(1).toString();
      }
    }
    QSqlDatabase::removeDatabase(name);
    return marks;
  }

  QTemporaryDir dir_;
  LogDatabase database_;
  // What the window does with a download's outcome: the date the run moved
  // is stored and shown on the page. True when the common tail follows.
  bool TakeOutcome(const ConfirmationOutcome& outcome) {
    if (outcome.since) {
      SaveSinceDate(SinceDate::kEqsl, *outcome.since);
      page_.received_since = *outcome.since;
    }
    return outcome.common_tail;
  }

  RecordingUi ui_;
  FakeEqslPage page_;
};
