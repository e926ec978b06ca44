// Inbox files that hold what a call sign or mode should never hold (quotes,
// LIKE wildcards, SQL) and line ends of every kind: only the QSOs the records
// name are marked, and nothing else in the log changes.
#include "eqsl/inbox_run.h"
#include "eqsl_fixture.h"
#include "platform/text_codec.h"

namespace {

QString Record(const QString& call, const QString& mode, const QString& end = "<EOR>") {
  return QStringLiteral("<CALL:%1>%2<QSO_DATE:8:D>20210915<TIME_ON:4>1830<BAND:3>20M<MODE:%3>%4")
             .arg(call.size())
             .arg(call)
             .arg(mode.size())
             .arg(mode) +
         end;
}

class EqslHostileInputTest : public EqslFixture {
 protected:
  void SetUp() override {
    EqslFixture::SetUp();
    AddQsos("log_main", {MakeQso("2021-09-15", "18:30", "N0CALL", 14, "FT8"),
                         MakeQso("2021-09-15", "18:30", "O'HARA", 14, "SSB"),
                         MakeQso("2021-09-15", "18:30", "K1XY", 14, "CW")});
    AddQsos("log_portable", {MakeQso("2021-09-15", "18:30", "N0CALL/P", 14, "FT8")});
  }

  int Rows(const char* table) {
    int rows = 0;
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("n"));
      db.setDatabaseName(DatabasePath());
      EXPECT_TRUE(db.open());
      QSqlQuery query(db);
      EXPECT_TRUE(query.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table)));
      if (query.next()) rows = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("n"));
    return rows;
  }
};

TEST_F(EqslHostileInputTest, QuotesWildcardsAndSqlSelectNothingElse) {
  const QStringList lines = {
      Record("%", "FT8"),
      Record("_0CALL", "FT8"),
      Record("N0CALL' OR '1'='1", "FT8"),
      Record("N0CALL'; DELETE FROM log_main; --", "FT8"),
      Record("N0CALL\"; DROP TABLE log_main; --", "FT8"),
      Record("N0CALL", "%"),
      Record("N0CALL", "F_8"),
      Record("K1XY", "CW' OR ''='"),
      Record("O'HARA", "SSB"),
  };
  EqslInboxRun run(database_, QStringLiteral("HOME"), {}, ui_);
  run.RunInboxLines(lines);
  EXPECT_EQ(Marks("log_main"), "N0CALL=0 O'HARA=1 K1XY=0");
  EXPECT_EQ(Marks("log_portable"), "N0CALL/P=0");
  EXPECT_EQ(Rows("log_main"), 3);
  EXPECT_EQ(run.QsoCount(), 9);
  // Every record but O'HARA's is listed as unmatched, upper-cased as read.
  EXPECT_EQ(run.ErrorList().size(), 16);
  EXPECT_TRUE(run.ErrorList().join('\n').contains("N0CALL'; DELETE FROM LOG_MAIN; --"));
}

TEST_F(EqslHostileInputTest, EveryKindOfLineEndAndNoRecordEnd) {
  // CR only, LF only, CR LF, a NUL inside a line, and a last record that
  // never gets its "<EOR>".
  const QByteArray file = "ADIF 3 Export from eQSL.cc\r<EOH>\r" +
                          Record("N0CALL", "FT8").toLatin1() + "\r" +
                          Record("O'HARA", "SSB").toLatin1() + "\n" + QByteArray("\0\0\r\n", 4) +
                          Record("K1XY", "CW", "<QSL_SENT:1>Y").toLatin1();
  const QStringList lines = SplitLines(DecodeText(file).text);
  ASSERT_EQ(lines.size(), 6);
  EqslInboxRun run(database_, QStringLiteral("HOME"), {}, ui_);
  run.RunInboxLines(lines);
  EXPECT_EQ(Marks("log_main"), "N0CALL=1 O'HARA=1 K1XY=1");
  EXPECT_EQ(Marks("log_portable"), "N0CALL/P=1");
  EXPECT_EQ(run.QsoCount(), 3);
  EXPECT_TRUE(run.ErrorList().isEmpty());
  EXPECT_EQ(ui_.progress.last(), 100);
}

}  // namespace
