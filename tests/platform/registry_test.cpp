#include "platform/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/app_error.h"
#include "platform/registry_file.h"
#include "platform/text_codec.h"

namespace {

// An export as regedit writes it: CR LF, escapes, a default value, a dword,
// an expandable string over two lines, binary and a multi-string.
const char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Vodrix_Log3]\r\n"
    "@=\"default\"\r\n"
    "\"InstallPath\"=\"C:\\\\Logs\\\\ \\\"Vodrix\\\"\"\r\n"
    "\"Path2\"=hex(2):25,00,55,00,53,00,45,00,52,00,25,00,2f,00,\\\r\n"
    "  61,00,00,00\r\n"
    "\"Blob\"=hex:01,ff,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n"
    "\"ProxyEnable\"=dword:0000001f\r\n"
    "\"ProxyServer\"=\"proxy.local:3128\"\r\n";

QByteArray Utf16Le(const QString& text) {
  QStringEncoder encoder(QStringConverter::Utf16LE);
  return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
}

QString ReadWhole(const QString& path, QByteArray* raw = nullptr) {
  const QByteArray bytes = ReadFileBytes(path);
  if (raw != nullptr) *raw = bytes;
  // Without a byte-order mark the registry file is UTF-8.
  return bytes.startsWith("\xFF\xFE") ? DecodeText(bytes).text
                                      : QString::fromUtf8(bytes).remove(QChar(0xFEFF));
}

class RegistryTest : public testing::Test {
 protected:
  QString Path() const { return dir_.filePath("registry/HKEY_CURRENT_USER.reg"); }
  void Put(const QByteArray& bytes) {
    QDir().mkpath(dir_.filePath("registry"));
    WriteFileBytes(Path(), bytes);
  }
  QTemporaryDir dir_;
};

const QString kLogbookKey = QStringLiteral("Software\\Vodrix_Log3");
const QString kInternetKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");

TEST_F(RegistryTest, ReadsEveryValueTypeWithoutRegardToCase) {
  for (const QByteArray& bytes : {QByteArray(kExport), Utf16Le(QString::fromUtf8(kExport))}) {
    Put(bytes);
    Registry registry(Path());
    ASSERT_TRUE(registry.OpenKey("SOFTWARE\\vodrix_log3", false));
    EXPECT_EQ(registry.ReadString("installpath"), "C:\\Logs\\ \"Vodrix\"");
    EXPECT_EQ(registry.ReadString(""), "default");
    EXPECT_EQ(registry.ReadString("Path2"), "%USER%/a");  // taken as written
    EXPECT_EQ(registry.ReadValue("Path2")->type, Registry::ValueType::kExpandString);
    EXPECT_EQ(registry.ReadValue("Blob")->bytes, QByteArray("\x01\xff\x00", 3));
    EXPECT_EQ(registry.ReadValue("Multi")->raw_type, 7);
    ASSERT_TRUE(registry.OpenKey(kInternetKey, false));
    EXPECT_EQ(registry.ReadInteger("proxyenable"), 31);
    EXPECT_EQ(registry.ReadString("ProxyServer"), "proxy.local:3128");
  }
}

TEST_F(RegistryTest, WritesBackInTheEncodingItWasReadIn) {
  struct Case {
    QByteArray bytes;
    QByteArray expected_start;
  } cases[] = {
      {Utf16Le(QString::fromUtf8(kExport)), QByteArray("\xFF\xFEW\0", 4)},
      {QByteArray("\xEF\xBB\xBF") + kExport, QByteArray("\xEF\xBB\xBFW")},
      {QByteArray(kExport), QByteArray("Windows Registry")},
  };
  for (const Case& c : cases) {
    Put(c.bytes);
    Registry registry(Path());
    ASSERT_TRUE(registry.OpenKey(kLogbookKey, false));
    registry.WriteString("INSTALLPATH", QString::fromUtf8("/home/op/Журнал \"x\"\\"));
    registry.WriteExpandString("Path2", "%HOME%/b");
    QByteArray raw;
    const QString text = ReadWhole(Path(), &raw);
    EXPECT_TRUE(raw.startsWith(c.expected_start));
    // The original spelling of the name stays; the escapes are written.
    EXPECT_TRUE(
        text.contains(QString::fromUtf8("\"InstallPath\"=\"/home/op/Журнал \\\"x\\\"\\\\\"\r\n")));
    EXPECT_TRUE(text.contains("\"Multi\"=hex(7):61,00,00,00,00,00\r\n"));
    EXPECT_TRUE(text.contains("\"ProxyEnable\"=dword:0000001f\r\n"));

    Registry again(Path());
    ASSERT_TRUE(again.OpenKey(kLogbookKey, false));
    EXPECT_EQ(again.ReadString("InstallPath"), QString::fromUtf8("/home/op/Журнал \"x\"\\"));
    EXPECT_EQ(again.ReadString("Path2"), "%HOME%/b");
    EXPECT_EQ(again.ReadValue("Blob")->bytes, QByteArray("\x01\xff\x00", 3));
    EXPECT_EQ(again.ReadString("@"), "");
    EXPECT_EQ(again.ReadString(""), "default");
  }
}

TEST_F(RegistryTest, MissingFileIsAnEmptyRegistryAndANewFileIsUtf8) {
  Registry registry(Path());
  EXPECT_FALSE(registry.OpenKey(kLogbookKey, false));
  EXPECT_FALSE(QFile::exists(Path()));
  ASSERT_TRUE(registry.OpenKey(kLogbookKey + "\\TfmSendQSOstoQorv", true));
  EXPECT_EQ(ReadFileBytes(Path()),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Vodrix_Log3\\TfmSendQSOstoQorv]\n");
  // A listed sub-key means its parent exists.
  EXPECT_TRUE(registry.OpenKey(kLogbookKey, false));
  EXPECT_FALSE(registry.ValueExists("InstallPath"));

  ASSERT_TRUE(registry.OpenKey(kLogbookKey + "\\TfmSendQSOstoQorv", false));
  registry.WriteString("QorvDate_Date", "44500.4166666667");
  registry.WriteInteger("Count", -1);
  Registry reader(Path());
  ASSERT_TRUE(reader.OpenKey(kLogbookKey + "\\tfmsendqsostoqorv", false));
  EXPECT_EQ(reader.ReadString("qorvdate_date"), "44500.4166666667");
  EXPECT_EQ(reader.ReadInteger("Count"), -1);
  EXPECT_TRUE(ReadWhole(Path()).contains("\"Count\"=dword:ffffffff\n"));
}

TEST_F(RegistryTest, WrongTypesAndMissingValuesGiveTheSystemTexts) {
  Put(kExport);
  Registry registry(Path());
  ASSERT_TRUE(registry.OpenKey(kInternetKey, false));
  struct Case {
    std::function<void()> action;
    QString message;
  } cases[] = {
      {[&] { registry.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
      {[&] { registry.ReadInteger("ProxyServer"); }, "Invalid data type for 'ProxyServer'"},
      {[&] { registry.ReadString("ProxyEnable"); }, "Invalid data type for 'ProxyEnable'"},
  };
  for (const Case& c : cases) {
    try {
      c.action();
      ADD_FAILURE() << "no error for " << c.message.toStdString();
    } catch (const AppError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
  EXPECT_EQ(registry.ReadString("Missing"), "");

  registry.CloseKey();
  try {
    registry.WriteString("X", "1");
    ADD_FAILURE() << "written without an open key";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), "Failed to set data for 'X'");
  }
  // A file that cannot be written: its folder is a plain file.
  WriteFileBytes(dir_.filePath("plain"), "x");
  Registry blocked(dir_.filePath("plain/HKEY_CURRENT_USER.reg"));
  EXPECT_FALSE(blocked.OpenKey(kLogbookKey, true));
}

TEST_F(RegistryTest, AWriteReplacesTheFileWhole) {
  Put(kExport);
  QFile before(Path());
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  Registry registry(Path());
  ASSERT_TRUE(registry.OpenKey(kLogbookKey, false));
  registry.WriteString("InstallPath", QString(5000, u'x'));
  // A reader that opened the file before the write still sees the old file
  // complete: the new one was renamed into place, not written over it.
  EXPECT_EQ(before.readAll(), QByteArray(kExport));
  EXPECT_EQ(QDir(dir_.filePath("registry")).entryList(QDir::Files),
            QStringList({"HKEY_CURRENT_USER.reg"}));
  Registry reader(Path());
  ASSERT_TRUE(reader.OpenKey(kLogbookKey, false));
  EXPECT_EQ(reader.ReadString("InstallPath"), QString(5000, u'x'));
}

TEST_F(RegistryTest, GarbledLinesAreSkippedOnReadingAndWrittenBackUnchanged) {
  // Every cut of the file parses; values before the cut keep their data.
  const QByteArray whole = Utf16Le(QString::fromUtf8(kExport));
  for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
    const RegistryFile file = RegistryFile::Parse(whole.left(cut));
    const RegistryFile::Key* key = file.FindKey("HKEY_CURRENT_USER\\" + kInternetKey);
    if (key != nullptr && key->values.size() == 2) {
      EXPECT_EQ(FindValue(*key, "ProxyEnable")->value.number, 31u);
    }
  }
  const QStringList garbled = {"; a comment before any key",
                               "\"Open\"=\"no closing quote",
                               "\"Bad\"=dword:xyz",
                               "\"Hex\"=hex:zz,01,\\\n  02",
                               "junk line",
                               "[-HKEY_CURRENT_USER\\Gone]",
                               "\"Gone\"=\"with its key\"",
                               "[HKEY_CURRENT_USER\\B",
                               "\"Lost\"=\"no key\""};
  Put((garbled[0] + "\n[HKEY_CURRENT_USER\\A]\n" + garbled.mid(1, 4).join(u'\n') +
       "\n\"Good\"=\"yes\"\n" + garbled.mid(5).join(u'\n') + "\n")
          .toUtf8());
  Registry registry(Path());
  ASSERT_TRUE(registry.OpenKey("A", false));
  EXPECT_EQ(registry.ReadString("Good"), "yes");
  for (const char* name : {"Open", "Bad", "Hex", "Gone", "Lost"}) {
    EXPECT_FALSE(registry.ValueExists(name)) << name;
  }
  registry.WriteString("Good", "still");
  const QString text = ReadWhole(Path());
  EXPECT_TRUE(text.contains("\"Good\"=\"still\"\n")) << text.toStdString();
  for (const QString& line : garbled) {
    EXPECT_TRUE(text.contains(line + u'\n')) << line.toStdString() << "\n" << text.toStdString();
  }
}

// A key followed by lines the reader keeps as they are (a key deletion and
// its lines, a cut key line, a comment): a value set later goes into the key,
// is found again, and is written once however often it is set.
TEST_F(RegistryTest, NewValuesStayOutOfTheLinesKeptAfterAKey) {
  for (const char* kept : {"[-HKEY_CURRENT_USER\\Gone]\n\"Old\"=\"deleted with Gone\"",
                           "[HKEY_CURRENT_USER\\Cut\n\"Old\"=\"under no key\""}) {
    SCOPED_TRACE(kept);
    const QByteArray kept_lines = QByteArray(kept) + "\n";
    Put("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"First\"=\"1\"\n" +
        kept_lines + "; about B\n\n[HKEY_CURRENT_USER\\B]\n\"Other\"=\"2\"\n");
    for (const char* value : {"x", "y"}) {
      Registry writer(Path());
      ASSERT_TRUE(writer.OpenKey("A", false));
      writer.WriteString("Old", value);
      writer.WriteString("New", value);
    }
    Registry reader(Path());
    ASSERT_TRUE(reader.OpenKey("A", false));
    EXPECT_EQ(reader.ReadString("Old"), "y");
    EXPECT_EQ(reader.ReadString("New"), "y");
    ASSERT_TRUE(reader.OpenKey("B", false));
    EXPECT_EQ(reader.ReadString("Other"), "2");
    const QString text = ReadWhole(Path());
    EXPECT_EQ(text,
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"First\"=\"1\"\n"
              "\"Old\"=\"y\"\n\"New\"=\"y\"\n\n" +
                  QString::fromUtf8(kept_lines) +
                  "; about B\n\n[HKEY_CURRENT_USER\\B]\n\"Other\"=\"2\"\n")
        << text.toStdString();
  }
}

// What the logbook does: takes the file's lock, writes a new file, renames it
// over the old one.
class LogbookWriter {
 public:
  explicit LogbookWriter(const QString& path) : path_(QFile::encodeName(path)) {
    fd_ = ::open(path_.constData(), O_RDONLY);
    EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
  }
  ~LogbookWriter() { ::close(fd_); }
  void Replace(const QByteArray& bytes) {
    WriteFileBytes(QString::fromUtf8(path_ + ".new"), bytes);
    EXPECT_EQ(::rename((path_ + ".new").constData(), path_.constData()), 0);
  }

 private:
  QByteArray path_;
  int fd_ = -1;
};

TEST_F(RegistryTest, AChangeWaitsForTheLogbooksLockAndKeepsWhatItWrote) {
  Put(kExport);
  std::atomic<bool> written{false};
  std::thread program;
  {
    LogbookWriter logbook(Path());
    program = std::thread([&] {
      Registry registry(Path());
      if (registry.OpenKey(kLogbookKey, false)) registry.WriteString("QorvDate_Date", "45000");
      written = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(written);
    logbook.Replace(QByteArray(kExport).replace("\"Blob\"", "\"FromLogbook\"=\"1\"\r\n\"Blob\""));
  }
  program.join();
  Registry reader(Path());
  ASSERT_TRUE(reader.OpenKey(kLogbookKey, false));
  EXPECT_EQ(reader.ReadString("QorvDate_Date"), "45000");
  EXPECT_EQ(reader.ReadString("FromLogbook"), "1");
}

TEST_F(RegistryTest, WritersAtTheSameTimeLoseNothing) {
  Put(kExport);
  constexpr int kWrites = 40;
  const auto writer = [this](const QString& prefix) {
    Registry registry(Path());
    ASSERT_TRUE(registry.OpenKey(kLogbookKey, false));
    for (int i = 0; i < kWrites; ++i) registry.WriteString(prefix + QString::number(i), "x");
  };
  std::thread first(writer, QStringLiteral("First"));
  std::thread second(writer, QStringLiteral("Second"));
  first.join();
  second.join();
  Registry reader(Path());
  ASSERT_TRUE(reader.OpenKey(kLogbookKey, false));
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_TRUE(reader.ValueExists("First" + QString::number(i))) << i;
    EXPECT_TRUE(reader.ValueExists("Second" + QString::number(i))) << i;
  }
}

TEST(RegistryDefault, FileLiesInTheConfigFolder) {
  EXPECT_EQ(Registry::DefaultFile(),
            qEnvironmentVariable("XDG_CONFIG_HOME") + "/registry/HKEY_CURRENT_USER.reg");
}

}  // namespace
