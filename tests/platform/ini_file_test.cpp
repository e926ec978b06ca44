#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

class IniFileTest : public testing::Test {
 protected:
  QString Put(const QByteArray& bytes) {
    WriteFileBytes(Path(), bytes);
    return Path();
  }
  QString Path() const { return dir_.filePath("Vodrix_Log3.ini"); }
  QTemporaryDir dir_;
};

TEST_F(IniFileTest, ReadsWithTheProfileRoutinesRules) {
  IniFile ini(
      Put("[Other]\r\n"
          "LogName=wrong section\r\n"
          " [ editnewqso ] \r\n"
          ";LogName=comment\r\n"
          "  logname  =  \"Home QTH\"  \r\n"
          "Single='x'\r\n"
          "Mixed=\"x'\r\n"
          "Inner=\"a\"b\"\r\n"
          "Empty=\"\"\r\n"
          "Equals=a=b\r\n"
          "Bare\r\n"
          "Euro=\x80 5\r\n"
          "LogName=second\r\n"
          "[EditNewQso]\r\n"
          "Later=in a second section of the same name\r\n"));
  struct Case {
    const char* section;
    const char* key;
    QString expected;
  } cases[] = {
      {"EditNewQso", "LogName", "Home QTH"},
      {"EDITNEWQSO", "LOGNAME", "Home QTH"},
      {"EditNewQso", "Single", "x"},
      {"EditNewQso", "Mixed", "\"x'"},
      {"EditNewQso", "Inner", "a\"b"},
      {"EditNewQso", "Empty", ""},
      {"EditNewQso", "Equals", "a=b"},
      {"EditNewQso", "Bare", ""},
      {"EditNewQso", "Euro", QString::fromUtf8("€ 5")},
      {"EditNewQso", "Later", "fallback"},
      {"EditNewQso", "Missing", "fallback"},
      {"Nowhere", "LogName", "fallback"},
      {"Other", "LogName", "wrong section"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadString(c.section, c.key, "fallback"), c.expected)
        << c.section << "/" << c.key;
  }
  EXPECT_TRUE(ini.KeyExists("editnewqso", "EMPTY"));
  EXPECT_FALSE(ini.KeyExists("EditNewQso", ";LogName"));
  EXPECT_EQ(IniFile(dir_.filePath("none.ini")).ReadString("A", "B", "x"), "x");
}

TEST_F(IniFileTest, ReadsByByteOrderMark) {
  IniFile utf8(Put("\xEF\xBB\xBF[S]\nName=\xD0\x96\xE2\x82\xAC\n"));
  EXPECT_EQ(utf8.ReadString("S", "Name"), QString::fromUtf8("Ж€"));
  IniFile utf16(Put(QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\x16\x04", 18)));
  EXPECT_EQ(utf16.ReadString("s", "k"), QString::fromUtf8("Ж"));
}

TEST_F(IniFileTest, WritesKeepEveryOtherLine) {
  IniFile ini(
      Put("; settings\n"
          "[TfrmMain]\n"
          "FormVersion=0\n"
          "NORMPOS=1,2,3,4\n"
          "\n"
          "[Services]\n"
          "Qorv=http://127.0.0.1:1\n"));
  ini.WriteString("tfrmmain", "NormPos", "5,6,7,8");               // in place, spelling kept
  ini.WriteString("TfrmMain", "edLocation_Text", "\"\"Home\"\"");  // appended to its section
  ini.WriteString("New", "Key", QString::fromUtf8("€uro Ж"));      // new section at the end
  EXPECT_EQ(ReadFileBytes(Path()),
            "; settings\r\n"
            "[TfrmMain]\r\n"
            "FormVersion=0\r\n"
            "NORMPOS=5,6,7,8\r\n"
            "edLocation_Text=\"\"Home\"\"\r\n"
            "\r\n"
            "[Services]\r\n"
            "Qorv=http://127.0.0.1:1\r\n"
            "\r\n"
            "[New]\r\n"
            "Key=\x80uro ?\r\n");
  EXPECT_EQ(ini.ReadString("TfrmMain", "edLocation_Text"), "\"Home\"");
}

TEST_F(IniFileTest, CreatesANewFileAndKeepsAByteOrderMark) {
  IniFile fresh(Path());
  fresh.WriteString("TfrmMain", "Visible", "0");
  EXPECT_EQ(ReadFileBytes(Path()), "[TfrmMain]\r\nVisible=0\r\n");

  IniFile utf8(Put("\xEF\xBB\xBF[S]\r\nA=1\r\n"));
  utf8.WriteString("S", "B", QString::fromUtf8("Ж"));
  EXPECT_EQ(ReadFileBytes(Path()), "\xEF\xBB\xBF[S]\r\nA=1\r\nB=\xD0\x96\r\n");

  IniFile unwritable(dir_.filePath("missing/folder/qorv.ini"));
  EXPECT_THROW(unwritable.WriteString("S", "K", "V"), AppError);
}

TEST_F(IniFileTest, OwnerOnlyFilesAreReadableByTheOwnerAlone) {
  const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
  const QFile::Permissions shared = owner | QFile::ReadGroup | QFile::ReadOther;
  const QString path = dir_.filePath("qorv.ini");

  IniFile ini(path);
  ini.SetOwnerOnly(true);
  ini.WriteString("TfrmMain", "password_Text", "secret");
  EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), owner);

  QFile::setPermissions(path, shared);
  ini.WriteString("TfrmMain", "password_Text", "other");
  EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), owner);

  IniFile plain(path);
  QFile::setPermissions(path, shared);
  plain.WriteString("TfrmMain", "Visible", "0");
  EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), shared);
}

}  // namespace
