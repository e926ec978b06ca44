#ifndef QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_LOGBOOK_SCHEMA_H_
#define QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_LOGBOOK_SCHEMA_H_

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One row of the logbook's log configuration table.
struct AconfigRow {
  QString LogName;
  QString LogSet;
  QString LogFileName;
  QString EQorvUserName;
  QString EQorvPassword;
  QString EQSLUserName;
  QString EQSLPassword;
};

// One QSO as the logbook stores it: dates "YYYY-MM-DD", times "HH:MM",
// DigiBand in MHz, QSOBand the frequency text ("14.07400").
struct Qso {
  QString QSODate;
  QString QSOTime;
  QString CallSign;
  double DigiBand = 0;
  QString QSOBand;
  QString QSOMode;
  QString SAT_NAME;
  bool QorvRec = false;
  QString QorvRecDate;
  QString Grid;
  QString State;
  QString IOTA;
  QString State1;
  QString State2;
  QString State3;
  QString State4;
  bool QSLReceQSLcc = false;
  bool QorvSent = false;
  QString RST_Sent;
  QString RST_Rcvd;
  QString Name;
  QString QTH;
  QString Comment;
};

// Writes a logbook database the way the logbook keeps it: Aconfig, one table
// per log (first column ID INTEGER PRIMARY KEY, text compared without regard
// to case, yes/no as 0/1), indexes on QSODate and CallSign. Creates the file
// when it does not exist. Errors throw AppError.
class LogbookDatabaseWriter {
 public:
  enum class Journal { kWal, kRollback };

  explicit LogbookDatabaseWriter(const QString& path, Journal journal = Journal::kWal);
  ~LogbookDatabaseWriter();
  LogbookDatabaseWriter(const LogbookDatabaseWriter&) = delete;
  LogbookDatabaseWriter& operator=(const LogbookDatabaseWriter&) = delete;

  void CreateAconfigTable();
  void AddLog(const AconfigRow& row);
  // The indexes on QSODate and CallSign come with the table unless a bulk
  // load adds them afterwards with CreateLogIndexes (several times faster).
  void CreateLogTable(const QString& table, bool with_indexes = true);
  void CreateLogIndexes(const QString& table);
  // All rows in one transaction through one prepared insert.
  void InsertQsos(const QString& table, const QList<Qso>& qsos);
  // Any other statement a fixture needs.
  void Execute(const QString& sql);

  QSqlDatabase& Connection() { return db_; }

 private:
  QString connection_name_;
  QSqlDatabase db_;
};

#endif  // QORVSYNC_TOOLS_LOGBOOK_DOUBLE_CREATE_LOGBOOK_SCHEMA_H_
