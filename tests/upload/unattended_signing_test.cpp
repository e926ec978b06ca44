// Signing without a person at the screen, with the TQSL double standing in
// for the real tool's modal boxes: it is told to ask nothing, gets a locale
// that exists, and is ended at its time limit without anything marked.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "platform/processes.h"
#include "platform/text_codec.h"
#include "upload/tqsl_signing.h"
#include "upload/upload_fixture.h"

namespace {

constexpr TqslRunMode kUnattended{true, std::chrono::seconds(60)};

class UnattendedSigningTest : public UploadFixture {
 protected:
  // An export file as the upload writes it; its signed file's path.
  QString WriteExport() {
    EXPECT_TRUE(QDir().mkpath(ExportFolder()));
    const QString path = ExportFolder() + "/Qorv_ADIF_20240305070809.adi";
    WriteFileBytes(path, "<EOH>\r\n<CALL:4>W1AW<EOR>\r\n");
    return path;
  }
};

TEST_F(UnattendedSigningTest, TqslAsksNothingAndStartsUnderALocaleThatExists) {
  // The double stops, as TQSL does, at a question without "-a" and at
  // "Cannot set locale" under a locale the machine lacks.
  SetEnv("TQSL_DOUBLE_ASK", "1");
  SetEnv("TQSL_DOUBLE_NEED_LOCALE", "1");
  SetEnv("LC_ALL", "xx_YY.UTF-8");
  const QString log = root_.filePath("tqsl.log");
  SetEnv("TQSL_DOUBLE_LOG", QFile::encodeName(log));
  // TQSL's own window is not opened: nobody would see it.
  const QString opened = root_.filePath("opened");
  WriteFileBytes(program_ + "tqsl", "#!/bin/sh\ntouch '" + QFile::encodeName(opened) + "'\n");
  QFile::setPermissions(program_ + "tqsl", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  const QString export_file = WriteExport();
  EXPECT_EQ(SignExportFile(request_.tqsl_path, " Home ", export_file, program_, kUnattended),
            SigningEnd::kSigned);
  EXPECT_EQ(ReadFileBytes(log), "run\t-d\t-a\tall\t-l\tHome\t" + export_file.toUtf8() + "\t-x\n");
  QThread::msleep(300);
  EXPECT_FALSE(QFile::exists(opened));
}

TEST_F(UnattendedSigningTest, OnlyALocaleThatIsMissingIsReplaced) {
  const struct {
    const char* lc_all;
    const char* lang;
    const char* tqsl_lc_all;
    const char* tqsl_lang;
  } cases[] = {
      {"xx_YY.UTF-8", "C.UTF-8", "C.UTF-8", "C.UTF-8"},
      {"", "xx_YY.UTF-8", "C.UTF-8", "C.UTF-8"},
      {"", "C.UTF-8", "", "C.UTF-8"},
      {"C", "xx_YY.UTF-8", "C", "xx_YY.UTF-8"},  // LC_ALL decides every category
  };
  // No category of the machine's own may decide.
  for (const char* category :
       {"LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER",
        "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"}) {
    SetEnv(category, "");
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lc_all) + " / " + c.lang);
    const ScopedEnv lc_all("LC_ALL", c.lc_all);
    const ScopedEnv lang("LANG", c.lang);
    const QProcessEnvironment environment = UnattendedTqslEnvironment();
    EXPECT_EQ(environment.value("LC_ALL"), c.tqsl_lc_all);
    EXPECT_EQ(environment.value("LANG"), c.tqsl_lang);
  }
}

TEST_F(UnattendedSigningTest, TqslThatDoesNotFinishIsEndedAndMarksNothing) {
  SetEnv("TQSL_DOUBLE_MODE", "hang");
  AddQsos({MakeQso("W1AW", "2024-01-02", "10:00", 14, "20M", "CW"),
           MakeQso("DL1ABC", "2024-01-03", "12:00", 14, "20M", "FT8")});
  request_.tqsl_mode = {true, std::chrono::seconds(1)};
  clublog_ = true;
  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_TRUE(Run());
  EXPECT_LT(elapsed.elapsed(), 10000);
  EXPECT_EQ(ui_.results.value(ResultLabel::kUpload),
            "Error: TQSL did not finish within its time limit (1 s) and was ended; nothing was "
            "uploaded.");
  EXPECT_EQ(FindProcessId("tqsl"), 0);
  EXPECT_EQ(SentFlags().values(), (QList<int>{0, 0}));
  // The export stays, also after Club Log has taken it.
  EXPECT_EQ(clublog_keeps_, QList<bool>{true});
  EXPECT_EQ(ExportFolderFiles().filter(".adi").size(), 1);

  // A signed file already there when TQSL is ended does not count.
  const QString export_file = WriteExport();
  WriteFileBytes(SignedFilePath(export_file), "left over");
  EXPECT_EQ(SignExportFile(request_.tqsl_path, "Home", export_file, program_, request_.tqsl_mode),
            SigningEnd::kTimedOut);
}

}  // namespace
