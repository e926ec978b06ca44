// The ADIF corpus (tests/data/adif-corpus): files written the ways other
// programs write ADIF, each run through "Load adif file" and through the eQSL
// run against a real log, with the rows each must change and the error lines
// each must write.
#include <gtest/gtest.h>

#include <QMap>

#include "confirmation_fixture.h"
#include "confirmations/report_import.h"
#include "confirmations/run_results.h"
#include "eqsl/inbox_run.h"
#include "platform/text_codec.h"

namespace {

const QStringList kColumns = {"QorvRec", "QorvRecDate", "Grid",        "State",
                              "IOTA",    "State4",      "QSLReceQSLcc"};

QString CorpusFile(const char* name) {
  return QStringLiteral(QORV_SOURCE_DIR "/tests/data/adif-corpus/") + QLatin1String(name);
}

class AdifCorpusTest : public ConfirmationTest {
 protected:
  // The fixture's log and QSOs on the bands the first tables left out.
  void NewCorpusLog() {
    NewLog();
    LogbookDatabaseWriter(DatabasePath())
        .InsertQsos(kHome, {
                               Q("2021-09-21", "14:00", "DL1ABC", 430, "FM"),   // 8
                               Q("2021-09-21", "15:00", "VE3XYZ", 222, "FM"),   // 9
                               Q("2021-09-22", "20:00", "OE3ABC", 14, "SSB"),   // 10
                               Q("2021-09-23", "01:00", "K5ABC", 5, "FT8"),     // 11
                               Q("2021-09-24", "12:00", "SM5ABC", 1200, "FM"),  // 12
                           });
  }

  // Every row of the log set's tables: "Log_Home:1" to its columns.
  QMap<QString, QStringList> Rows() const {
    QMap<QString, QStringList> rows;
    for (const char* table : {kHome, kPort}) {
      const int count =
          Peek(QStringLiteral("SELECT max(ID) FROM %1").arg(QLatin1String(table))).toInt();
      for (int id = 1; id <= count; ++id) {
        rows.insert(QLatin1String(table) + u':' + QString::number(id),
                    Row(table, id, kColumns).split(u'|'));
      }
    }
    return rows;
  }

  // "Log_Home:8 QorvRec=1 State=NW" for every row that changed.
  static QStringList Changes(const QMap<QString, QStringList>& before,
                             const QMap<QString, QStringList>& after) {
    QStringList changes;
    for (auto row = after.cbegin(); row != after.cend(); ++row) {
      QString line;
      for (qsizetype i = 0; i < kColumns.size(); ++i) {
        if (row.value().value(i) == before.value(row.key()).value(i)) continue;
        line += u' ' + kColumns[i] + u'=' + row.value().value(i);
      }
      if (!line.isEmpty()) changes << row.key() + line;
    }
    return changes;
  }
};

TEST_F(AdifCorpusTest, EachFileChangesItsRowsAndListsItsUnmatchedRecords) {
  struct Case {
    const char* file;
    QStringList confirmed;    // by "Load adif file", every copy option ticked
    QStringList qorv_errors;  // the detail lines of QorvError.txt
    QStringList eqsl_marked;  // by the eQSL run afterwards
    QStringList eqsl_errors;  // its detail lines
  };
  const QStringList utf8_confirmed = {
      QString::fromUtf8("Log_Home:12 QorvRec=1 QorvRecDate=2021-10-06 State=AB State4=AB-Skåne")};
  const QStringList utf8_qorv_errors = {QString::fromUtf8("24.09.2021 13:00 14 SSB NOBODY  NÖ")};
  const Case cases[] = {
      {"one-record-per-line.adi",
       {"Log_Home:1 QorvRec=1 QorvRecDate=2021-10-01 Grid=FN42",
        "Log_Home:8 QorvRec=1 QorvRecDate=2021-10-02 State=NW IOTA=EU-001 State4=NW-KOLN",
        "Log_Port:1 QorvRec=1 QorvRecDate=2021-10-01 Grid=FN42"},
       {"15.09.2021 12:00 14 FT8 NOBODY  "},
       {"Log_Home:1 QSLReceQSLcc=1", "Log_Home:8 QSLReceQSLcc=1", "Log_Port:1 QSLReceQSLcc=1"},
       {"15.09.2021 12:00 14 FT8 NOBODY FT8 "}},
      {"one-field-per-line-lower-case.adi",
       {"Log_Home:10 QorvRec=1 QorvRecDate=2021-10-05",
        "Log_Home:11 QorvRec=1 QorvRecDate=2021-10-04",
        "Log_Home:9 QorvRec=1 QorvRecDate=2021-10-03 Grid=FN03ab"},
       {},
       {"Log_Home:10 QSLReceQSLcc=1", "Log_Home:11 QSLReceQSLcc=1", "Log_Home:9 QSLReceQSLcc=1"},
       {}},
      {"utf8-without-byte-order-mark.adi",
       utf8_confirmed,
       utf8_qorv_errors,
       {"Log_Home:12 QSLReceQSLcc=1"},
       {"24.09.2021 13:00 14 SSB NOBODY SSB "}},
      {"utf8-with-byte-order-mark.adi",
       utf8_confirmed,
       utf8_qorv_errors,
       {"Log_Home:12 QSLReceQSLcc=1"},
       {"24.09.2021 13:00 14 SSB NOBODY SSB "}},
      {"unknown-bands-header-without-eoh.adi",
       {"Log_Home:4 QorvRec=1 QorvRecDate=2021-10-01"},
       {"17.09.2021 00:00 2190m CW K1AA  ", "17.09.2021 00:00 630M CW K1AA  "},
       {"Log_Home:4 QSLReceQSLcc=1"},
       {"17.09.2021 00:00 2190M CW K1AA CW ", "17.09.2021 00:00 630M CW K1AA CW "}},
  };
  options_ = {true, true, true, true, QStringLiteral("State4")};
  const QString error_file = ProgramFolder() + kQorvErrorFile;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    NewCorpusLog();
    QFile::remove(error_file);
    const QMap<QString, QStringList> before = Rows();

    ui_.chosen_files = QStringList{CorpusFile(c.file)};
    ASSERT_TRUE(ImportSavedReport(ui_, Database(), QStringLiteral("A"), Options(), ProgramFolder())
                    .common_tail);
    const QMap<QString, QStringList> imported = Rows();
    EXPECT_EQ(Changes(before, imported), c.confirmed);
    QStringList qorv_errors;
    if (QFile::exists(error_file)) {
      const QStringList lines = ReadTextFileLines(error_file);
      for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        EXPECT_EQ(lines[i], "Error");
        qorv_errors << lines[i + 1];
      }
    }
    EXPECT_EQ(qorv_errors, c.qorv_errors);

    EqslInboxRun eqsl(Database(), QStringLiteral("A"), {}, ui_);
    eqsl.RunInboxLines(ReadTextFileLines(CorpusFile(c.file)));
    EXPECT_EQ(Changes(imported, Rows()), c.eqsl_marked);
    QStringList eqsl_errors;
    for (qsizetype i = 1; i < eqsl.ErrorList().size(); i += 2) eqsl_errors << eqsl.ErrorList()[i];
    EXPECT_EQ(eqsl_errors, c.eqsl_errors);
  }
}

}  // namespace
