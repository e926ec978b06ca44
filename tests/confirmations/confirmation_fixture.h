#ifndef QORVSYNC_TESTS_CONFIRMATIONS_CONFIRMATION_FIXTURE_H_
#define QORVSYNC_TESTS_CONFIRMATIONS_CONFIRMATION_FIXTURE_H_

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

#include "confirmations/confirmation_options.h"
#include "confirmations/confirmation_outcome.h"
#include "create/logbook_schema.h"
#include "logdb/log_database.h"
#include "platform/conversions.h"
#include "session/since_dates.h"
#include "support/recording_ui.h"

// A log set "A" of two logs (Log_Home, Log_Port) and a log "Club" of set "B",
// in a real SQLite file in a temporary folder, with the short date format
// dd.mm.yyyy while it lives.
class ConfirmationLog {
 public:
  static constexpr char kHome[] = "Log_Home";
  static constexpr char kPort[] = "Log_Port";
  static constexpr char kClub[] = "Log_Club";

  ConfirmationLog() : previous_settings_(CurrentRegionalSettings()) {
    SetRegionalSettings({u'.', u':', QStringLiteral("dd/mm/yyyy")});
    EXPECT_TRUE(dir_.isValid());
    NewLog();
  }
  virtual ~ConfirmationLog() { SetRegionalSettings(previous_settings_); }

  // The log as it stands before any run: for each case of a table.
  void NewLog() {
    database_.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(DatabasePath() + suffix);
    LogbookDatabaseWriter writer(DatabasePath());
    writer.CreateAconfigTable();
    writer.AddLog({QStringLiteral("Home"), QStringLiteral("A"), kHome, {}, {}, {}, {}});
    writer.AddLog({QStringLiteral("Portable"), QStringLiteral("A"), kPort, {}, {}, {}, {}});
    writer.AddLog({QStringLiteral("Club"), QStringLiteral("B"), kClub, {}, {}, {}, {}});
    for (const char* table : {kHome, kPort, kClub}) writer.CreateLogTable(table);
    writer.InsertQsos(kHome, {
                                 Q("2021-09-15", "18:24", "ABCDE", 14, "FT8"),        // 1
                                 Q("2021-09-16", "09:00", "N0CALL", 21, "MFSK FT4"),  // 2
                                 Q("2021-09-17", "00:00", "K1AA", 7, "CW"),           // 3
                                 Q("2021-09-17", "23:59", "K2BB", 7, "CW"),           // 4
                                 Q("2021-09-18", "12:00", "W1XYZ", 14, "SSB", true),  // 5
                                 Q("2021-09-19", "10:00", "O'HARA", 14, "SSB"),       // 6
                                 Q("2021-09-20", "10:00", "G4ABC", 3.5, "SSB"),       // 7
                             });
    writer.InsertQsos(kPort, {Q("2021-09-15", "18:30", "ABCDE", 14, "FT8")});   // 1
    writer.InsertQsos(kClub, {Q("2021-09-16", "09:00", "N0CALL", 21, "FT4")});  // 1
  }

  QString DatabasePath() const { return dir_.filePath(QStringLiteral("logs.mdb")); }
  QString ProgramFolder() const { return dir_.path() + u'/'; }

  LogDatabase& Database() {
    if (!database_) {
      database_ = std::make_unique<LogDatabase>();
      database_->OpenLogDatabase(DatabasePath());
    }
    return *database_;
  }

  static Qso Q(const char* date, const char* time, const char* call, double band, const char* mode,
               bool confirmed = false) {
    Qso qso;
    qso.QSODate = QLatin1String(date);
    qso.QSOTime = QLatin1String(time);
    qso.CallSign = QLatin1String(call);
    qso.DigiBand = band;
    qso.QSOMode = QLatin1String(mode);
    qso.QorvRec = confirmed;
    if (confirmed) qso.QorvRecDate = QStringLiteral("2021-01-01");
    return qso;
  }

  // The first value of a query, read the way the logbook would: through a
  // connection of its own, so only committed changes show.
  QVariant Peek(const QString& sql) const {
    QVariant value;
    {
      QSqlDatabase db =
          QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
      db.setDatabaseName(DatabasePath());
      EXPECT_TRUE(db.open());
      QSqlQuery query(db);
      EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
      if (query.next()) value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return value;
  }

  // The columns of one row joined by "|", NULL as empty text.
  QString Row(const char* table, int id, const QStringList& columns) const {
    QStringList parts;
    for (const QString& column : columns) parts << QStringLiteral("ifnull(%1, '')").arg(column);
    return Peek(QStringLiteral("SELECT %1 FROM %2 WHERE ID = %3")
                    .arg(parts.join(QStringLiteral(" || '|' || ")), QLatin1String(table))
                    .arg(id))
        .toString();
  }

  // "Table:ID" of every QSO this test confirmed (the fixture's own
  // confirmations carry the date 2021-01-01).
  QStringList ConfirmedNow() const {
    QStringList rows;
    for (const char* table : {kHome, kPort, kClub}) {
      const QString ids =
          Peek(QStringLiteral("SELECT group_concat(ID) FROM (SELECT ID FROM %1 WHERE QorvRec = 1 "
                              "AND QorvRecDate <> '2021-01-01' ORDER BY ID)")
                   .arg(QLatin1String(table)))
              .toString();
      for (const QString& id : ids.split(u',', Qt::SkipEmptyParts)) {
        rows << QLatin1String(table) + u':' + id;
      }
    }
    return rows;
  }

  QTemporaryDir dir_;
  std::unique_ptr<LogDatabase> database_;
  RegionalSettings previous_settings_;
};

// The log, the program's connection to it, a recording window and the copy
// options as a test sets them.
class ConfirmationTest : public testing::Test, public ConfirmationLog {
 protected:
  ConfirmationOptionsReader Options() {
    return [this] { return options_; };
  }

  RecordingUi ui_;
  ConfirmationOptions options_;
};

// What the window does with a Qorv download's outcome: the date the run moved
// is stored and shown in `since_box`. True when the common tail follows.
inline bool TakeDownloadOutcome(const ConfirmationOutcome& outcome, QDateTime* since_box) {
  if (outcome.since) {
    SaveSinceDate(SinceDate::kQorv, *outcome.since);
    *since_box = *outcome.since;
  }
  return outcome.common_tail;
}

#endif  // QORVSYNC_TESTS_CONFIRMATIONS_CONFIRMATION_FIXTURE_H_
