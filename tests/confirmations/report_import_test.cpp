// "Load adif file": a report on disk run over the log.
#include "confirmations/report_import.h"

#include <gtest/gtest.h>

#include <QFile>

#include "confirmation_fixture.h"
#include "confirmations/run_results.h"
#include "platform/text_codec.h"
#include "report_text.h"
#include "support/error_text.h"

namespace {

class ReportImportTest : public ConfirmationTest {
 protected:
  bool Import() {
    return ImportSavedReport(ui_, Database(), QStringLiteral("A"), Options(), ProgramFolder())
        .common_tail;
  }
  QString ErrorFile() const { return ProgramFolder() + kQorvErrorFile; }
  QString Write(const char* name, const QByteArray& bytes) {
    const QString path = dir_.filePath(QLatin1String(name));
    WriteFileBytes(path, bytes);
    return path;
  }
};

TEST_F(ReportImportTest, ACancelledDialogChangesNothing) {
  ui_.results[ResultLabel::kQorvDownload] = QStringLiteral("Download QSO: 7");
  EXPECT_FALSE(Import());
  EXPECT_EQ(ui_.dialogs_shown, 1);
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 7");
  EXPECT_TRUE(ui_.progress.isEmpty());
  EXPECT_TRUE(ConfirmedNow().isEmpty());
}

TEST_F(ReportImportTest, AnEmptyFileCountsNothingAndWritesNoErrorFile) {
  ui_.chosen_files = QStringList{Write("empty.adi", {})};
  EXPECT_TRUE(Import());
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 0");
  EXPECT_FALSE(QFile::exists(ErrorFile()));
  EXPECT_TRUE(ui_.text_files.isEmpty());
}

TEST_F(ReportImportTest, UnicodeFileWithLoneCrsGivesAnAnsiErrorFile) {
  // UTF-16 with its mark, lines ended by lone CRs; one record matches, one
  // does not and carries letters the error file writes in Windows-1252.
  const QString report = Record("K1AA", "40M", "CW", "20210917", "0000") + u'\n' +
                         Record("SM5\u00c5\u00c4\u00d6", "20M", "FT8", "20210915", "1200",
                                F("GRIDSQUARE", "JO89") + F("STATE", "N\u20ac"));
  ui_.chosen_files = QStringList{Write(
      "report.adi", EncodeText(QString(report).replace(u'\n', u'\r'), TextEncoding::kUtf16Le))};
  EXPECT_TRUE(Import());
  EXPECT_EQ(ConfirmedNow(), QStringList{"Log_Home:3"});
  EXPECT_EQ(ReadFileBytes(ErrorFile()).toHex(' ').toStdString(),
            QByteArray("Error\r\n15.09.2021 12:00 14 FT8 SM5\xc5\xc4\xd6 JO89 N\x80\r\n")
                .toHex(' ')
                .toStdString());
  EXPECT_EQ(ui_.text_files, QStringList{ErrorFile()});
  EXPECT_EQ(ui_.results.value(ResultLabel::kQorvDownload), "Download QSO: 2");
}

TEST_F(ReportImportTest, AnEmptyErrorListLeavesAnEarlierErrorFile) {
  WriteFileBytes(ErrorFile(), "earlier\r\n");
  ui_.chosen_files =
      QStringList{Write("one.adi", Record("K1AA", "40M", "CW", "20210917", "0000").toLatin1())};
  EXPECT_TRUE(Import());
  EXPECT_EQ(ReadFileBytes(ErrorFile()), "earlier\r\n");
  EXPECT_TRUE(ui_.text_files.isEmpty());
}

TEST_F(ReportImportTest, AFileThatCannotBeReadEndsTheImportUnchanged) {
  const QString missing = dir_.filePath(QStringLiteral("gone.adi"));
  ui_.chosen_files = QStringList{missing};
  EXPECT_TRUE(ErrorText([&] { Import(); }).startsWith("Cannot open file \"" + missing + "\"."));
  EXPECT_TRUE(ui_.results.isEmpty());
  EXPECT_TRUE(ConfirmedNow().isEmpty());
}

TEST_F(ReportImportTest, AFailureInTheRunLeavesNoErrorFileAndNoCount) {
  ui_.chosen_files =
      QStringList{Write("bad.adi", (Record("NOBODY", "20M", "FT8", "20210915", "1200") + u'\n' +
                                    Record("K1AA", "40M", "CW", "20211301", "0000"))
                                       .toLatin1())};
  EXPECT_EQ(ErrorText([&] { Import(); }), "Invalid argument to date encode");
  EXPECT_FALSE(QFile::exists(ErrorFile()));
  EXPECT_TRUE(ui_.results.isEmpty());
}

}  // namespace
