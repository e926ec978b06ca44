// The start-up sequence over a logbook installation written by the logbook
// double: registry file, ini file, log database and the running process.
#include "app/start_up.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>

#include "app/logbook_fixture.h"
#include "app/program_actions.h"
#include "create/logbook_schema.h"
#include "net/http_client.h"
#include "platform/text_codec.h"

namespace {

const QString kLogbookKey = QStringLiteral("Software\\Vodrix_Log3");
const QString kInternetKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
const QString kDatesKey = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");

class StartUpTest : public LogbookTest {
 protected:
  void TearDown() override {
    HttpClient::SetDefaultCaFile(QString());
    LogbookTest::TearDown();
  }

  QStringList Messages() const { return dialogs_.MessageTexts(); }
  QDateEdit* QorvBox() const { return Find<QDateEdit>("DateTimePicker"); }
  QDateEdit* EqslBox() const { return Find<QDateEdit>("DateTimePicker2"); }
  QString Location() const { return Find<QComboBox>("edLocation")->currentText(); }

  // What a start-up that ended before the database leaves.
  void ExpectEndedBeforeTheDatabase(TfrmMain& form) {
    EXPECT_FALSE(form.Database().IsOpen());
    EXPECT_TRUE(form.Config().LogFileName.isEmpty());
    EXPECT_TRUE(form.Config().EQorvUserName.isEmpty());
    EXPECT_FALSE(form.LogPollActive());
  }
};

TEST_F(StartUpTest, GoodInstallationWithTheLogbookRunning) {
  CreateInstallation();
  Registry internet = RegistryKey(kInternetKey);
  internet.WriteInteger(QStringLiteral("ProxyEnable"), 1);
  internet.WriteString(QStringLiteral("ProxyServer"), QStringLiteral("proxy.local:3128"));
  WriteFileBytes(ProgramFolder() + "qorv.ini",
                 "[Services]\r\nQorv=http://127.0.0.1:8081/\r\nCAFile=/etc/qorv/ca.pem\r\n");
  StartLogbook();

  // The real process look-up: the double runs as Vodrix_Log3.exe.
  TfrmMain& form = Create(ProgramActions(), nullptr);
  EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();
  const Configuration& config = form.Config();
  EXPECT_EQ(config.InstallPath, InstallFolder());
  EXPECT_EQ(config.DatabasePath, DatabaseFile());
  EXPECT_EQ(config.LogName, "Home");
  EXPECT_EQ(form.windowTitle(), "Home");
  EXPECT_EQ(config.LogFileName, "Log_Home");
  EXPECT_EQ(config.LogSet, "Main");
  EXPECT_EQ(config.EQorvUserName, "N0CALL");
  EXPECT_EQ(config.EQorvPassword, "qorv-secret");
  EXPECT_EQ(config.EQSLUserName, "N0CALL");
  EXPECT_EQ(config.EQSLPassword, "eqsl-secret");
  EXPECT_TRUE(config.ProxyEnable);
  EXPECT_EQ(config.ProxyHost, "proxy.local");
  EXPECT_EQ(config.ProxyPort, "3128");
  EXPECT_EQ(config.Services.qorv, "http://127.0.0.1:8081");
  EXPECT_EQ(config.Services.clublog, "https://clublog.org");
  EXPECT_EQ(HttpClient::DefaultCaFile(), "/etc/qorv/ca.pem");

  EXPECT_EQ(QorvBox()->dateTime(), QDateTime(QDate(2024, 6, 1), QTime(0, 0)));
  EXPECT_EQ(EqslBox()->dateTime(), QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
  EXPECT_EQ(Find<QLineEdit>("edtTqsl")->text(), "/usr/bin/tqsl");
  EXPECT_EQ(Location(), "Home");
  EXPECT_TRUE(form.Database().IsOpen());
  EXPECT_TRUE(form.LogPollActive());
}

TEST_F(StartUpTest, NoInstallationStopsAtTheFirstStoredDate) {
  WriteFileBytes(ProgramFolder() + "qorv.ini",
                 "[TfrmMain]\r\nclublogemail_Text=op@example.org\r\n");
  TfrmMain& form = Create(ProgramActions());
  EXPECT_EQ(Messages(), QStringList{"'' is not a valid floating point value"});
  EXPECT_EQ(form.Config().InstallPath, "");
  EXPECT_EQ(form.Config().DatabasePath, "db/logs.mdb");
  EXPECT_EQ(form.windowTitle(), "");
  EXPECT_FALSE(form.Config().ProxyEnable);
  ExpectEndedBeforeTheDatabase(form);
  // The logbook's keys are left behind empty; the system's key is never made.
  Registry registry;
  for (const QString& key :
       {kLogbookKey, kLogbookKey + "\\TfmEditNewQso", kLogbookKey + "\\TfmSendQSOstoQorv"}) {
    EXPECT_TRUE(registry.OpenKey(key, false)) << key.toStdString();
  }
  EXPECT_FALSE(registry.OpenKey(kInternetKey, false));

  // The settings still come from and go to the program's own file.
  form.show();
  auto* login = Find<QLineEdit>("clublogemail");
  EXPECT_EQ(login->text(), "op@example.org");
  login->setText("new@example.org");
  form.close();
  const QByteArray settings = ReadFileBytes(ProgramFolder() + "qorv.ini");
  EXPECT_TRUE(settings.contains("clublogemail_Text=new@example.org")) << settings.toStdString();
  EXPECT_TRUE(settings.contains("NormPos="));
}

TEST_F(StartUpTest, ProxyEnableMissingOrOfAnotherTypeEndsStartUp) {
  struct Case {
    QByteArray proxy_enable_line;  // in place of the dword the installation wrote
    QString message;
  };
  const Case cases[] = {
      {"", "Failed to get data for 'ProxyEnable'"},
      {"\"ProxyEnable\"=\"1\"", "Invalid data type for 'ProxyEnable'"},
  };
  for (const Case& c : cases) {
    CreateInstallation();
    Registry internet = RegistryKey(kInternetKey);
    internet.WriteString("ProxyServer", "proxy.local:3128");
    QByteArray registry_text = ReadFileBytes(Registry::DefaultFile());
    ASSERT_TRUE(registry_text.contains("\"ProxyEnable\"=dword:00000000"));
    registry_text.replace("\"ProxyEnable\"=dword:00000000", c.proxy_enable_line);
    WriteFileBytes(Registry::DefaultFile(), registry_text);
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    EXPECT_EQ(Messages(), QStringList{c.message});
    EXPECT_EQ(form.Config().InstallPath, InstallFolder());
    EXPECT_EQ(form.Config().ProxyHost, "");
    EXPECT_EQ(Find<QLineEdit>("edtTqsl")->text(), "");
    EXPECT_EQ(form.windowTitle(), "");
    ExpectEndedBeforeTheDatabase(form);
  }
}

TEST_F(StartUpTest, StoredDatesWithCommaOrPointAndTheirErrors) {
  CreateInstallation();
  const QDateTime noon(QDate(2021, 10, 31), QTime(12, 0));
  const QDateTime midnight(QDate(2021, 10, 31), QTime(0, 0));
  struct Case {
    Registry::Value eqsl;
    QString qorv;
    QString message;  // empty: start-up goes on
    QDateTime eqsl_box;
    QDateTime qorv_box;
  };
  const auto text = [](const QString& value) {
    Registry::Value stored;
    stored.text = value;
    return stored;
  };
  Registry::Value number;
  number.type = Registry::ValueType::kDword;
  number.number = 44500;
  const Case cases[] = {
      {text("44500,5"), "44500", "", noon, midnight},
      {text("44500.5"), "44500,0", "", noon, midnight},
      {text("44500.5"), "later", "'later' is not a valid floating point value", noon, {}},
      {text("99999999"), "44500", "'99999999' is not a valid date", {}, {}},
      {number, "44500", "Invalid data type for 'eQSLDate_Date'", {}, {}},
  };
  for (const Case& c : cases) {
    Registry dates = RegistryKey(kDatesKey);
    dates.WriteValue("eQSLDate_Date", c.eqsl);
    dates.WriteString("QorvDate_Date", c.qorv);
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    const std::string name = c.qorv.toStdString();
    if (c.message.isEmpty()) {
      EXPECT_TRUE(Messages().isEmpty()) << name << Messages().join('\n').toStdString();
      EXPECT_EQ(form.windowTitle(), "Home") << name;
    } else {
      EXPECT_EQ(Messages(), QStringList{c.message}) << name;
      EXPECT_EQ(form.windowTitle(), "") << name;
      EXPECT_EQ(Location(), "") << name;
      ExpectEndedBeforeTheDatabase(form);
    }
    if (c.eqsl_box.isValid()) {
      EXPECT_EQ(EqslBox()->dateTime(), c.eqsl_box) << name;
    }
    if (c.qorv_box.isValid()) {
      EXPECT_EQ(QorvBox()->dateTime(), c.qorv_box) << name;
    }
  }
}

TEST_F(StartUpTest, DatabaseThatCannotBeOpened) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
    QString message_part;
  };
  std::unique_ptr<LogbookDatabaseWriter> holder;
  const Case cases[] = {
      {"missing",
       [this] {
         for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(DatabaseFile() + suffix);
       },
       "Could not find file '" + DatabaseFile() + "'."},
      {"Access",
       [this] {
         QByteArray jet(4096, '\0');
         jet.replace(0, 19, QByteArray("\0\x01\0\0Standard Jet DB", 19));
         WriteFileBytes(DatabaseFile(), jet);
       },
       "is a Microsoft Access database"},
      {"locked",
       [this, &holder] {
         holder = std::make_unique<LogbookDatabaseWriter>(
             DatabaseFile(), LogbookDatabaseWriter::Journal::kRollback);
         holder->Execute("BEGIN EXCLUSIVE");
       },
       "is locked by another program"},
  };
  for (const Case& c : cases) {
    CreateInstallation();
    c.spoil();
    dialogs_.messages.clear();
    TfrmMain& form = Create(ProgramActions());
    ASSERT_EQ(Messages().size(), 1) << c.name;
    EXPECT_TRUE(Messages()[0].contains(c.message_part)) << Messages()[0].toStdString();
    // Everything up to the log's name was done.
    EXPECT_EQ(form.windowTitle(), "Home") << c.name;
    EXPECT_EQ(Location(), "Home") << c.name;
    ExpectEndedBeforeTheDatabase(form);
    window_.reset();
    holder.reset();
  }
}

}  // namespace
