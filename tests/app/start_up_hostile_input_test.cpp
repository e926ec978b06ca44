// Start-up over registry and ini files that are cut short, hold values of the
// wrong type, or name logs with quotes and SQL: at most one error box, the
// window always opens, and no log is picked that the files do not name.
#include <gtest/gtest.h>

#include <QFile>

#include "app/logbook_fixture.h"
#include "app/program_actions.h"
#include "platform/text_codec.h"

namespace {

class StartUpHostileInputTest : public LogbookTest {
 protected:
  QStringList Messages() const { return dialogs_.MessageTexts(); }
  void ReplaceInRegistry(const QByteArray& from, const QByteArray& to) {
    QByteArray text = ReadFileBytes(Registry::DefaultFile());
    ASSERT_TRUE(text.contains(from)) << from.toStdString();
    WriteFileBytes(Registry::DefaultFile(), text.replace(from, to));
  }
};

TEST_F(StartUpHostileInputTest, RegistryCutShortAnywhere) {
  CreateInstallation();
  const QByteArray whole = ReadFileBytes(Registry::DefaultFile());
  // Every 97th byte: inside key names, value names, quoted strings and dwords.
  for (qsizetype cut = 0; cut < whole.size(); cut += 97) {
    SCOPED_TRACE(cut);
    WriteFileBytes(Registry::DefaultFile(), whole.left(cut));
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    EXPECT_LE(Messages().size(), 1) << Messages().join('\n').toStdString();
    // A database is open only when start-up got through to it without error.
    if (form.Database().IsOpen()) {
      EXPECT_TRUE(Messages().isEmpty());
      EXPECT_EQ(form.Config().LogFileName, "Log_Home");
    }
  }
}

TEST_F(StartUpHostileInputTest, ValuesOfTheWrongType) {
  struct Case {
    QByteArray from;
    QByteArray to;
    QString message;
  };
  const Case cases[] = {
      {"\"InstallPath\"=\"", "\"InstallPath\"=dword:00000001\n\"Old\"=\"",
       "Invalid data type for 'InstallPath'"},
      {"\"QorvDate_Date\"=\"", "\"QorvDate_Date\"=hex:41,42\n\"Old\"=\"",
       "Invalid data type for 'QorvDate_Date'"},
      {"\"QorvDate_Date\"=\"", "\"QorvDate_Date\"=\"1e400\"\n\"Old\"=\"",
       "'1e400' is not a valid floating point value"},
      {"\"QorvDate_Date\"=\"", "\"QorvDate_Date\"=\"-99999999\"\n\"Old\"=\"",
       "'-99999999' is not a valid date"},
      {"\"ProxyEnable\"=dword:00000000", "\"ProxyEnable\"=dword:zz", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to.toStdString());
    CreateInstallation();
    ReplaceInRegistry(c.from, c.to);
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    ASSERT_LE(Messages().size(), 1);
    if (!c.message.isEmpty()) {
      EXPECT_EQ(Messages().value(0), c.message);
      EXPECT_FALSE(form.Database().IsOpen());
    }
  }
}

TEST_F(StartUpHostileInputTest, LogNamesWithQuotesAndSqlSelectNoLog) {
  for (const QByteArray& name : {QByteArray("Home' OR '1'='1"), QByteArray("%"), QByteArray("Hom_"),
                                 QByteArray("Home'; DROP TABLE Aconfig; --"),
                                 QByteArray("Home\0\0", 6), QByteArray("\xff\xfe\x00")}) {
    SCOPED_TRACE(name.toHex().toStdString());
    CreateInstallation();
    WriteFileBytes(InstallFolder() + "Vodrix_Log3.ini", "[EditNewQso]\r\nLogName=" + name);
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();
    EXPECT_TRUE(form.Database().IsOpen());
    EXPECT_EQ(form.Config().LogFileName, "");
    EXPECT_EQ(form.Config().EQorvPassword, "");
  }
  // Aconfig is still whole.
  CreateInstallation();
  TfrmMain& form = Create(ProgramActions());
  EXPECT_EQ(form.Config().LogFileName, "Log_Home");
}

}  // namespace
