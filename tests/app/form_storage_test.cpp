// The window-settings store: what a save writes, and what a restore takes.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "main_window_fixture.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class FormStorageTest : public MainWindowTest {};

TEST_F(FormStorageTest, SaveAtCloseWritesEveryKeyInOrder) {
  TfrmMain& window = Create();
  window.show();
  window.move(100, 50);
  Find<QCheckBox>("cbUpdateloc")->setChecked(true);
  Find<QCheckBox>("cbCNTY")->setChecked(true);
  Find<QComboBox>("cmbCNTY")->setCurrentText(QStringLiteral("State2"));
  Pages()->setCurrentIndex(2);
  Find<QLineEdit>("clublogemail")->setText(QStringLiteral("  op@example.org "));
  Find<QLineEdit>("callsign")->setText(QStringLiteral("'K1ABC'"));
  Find<QLineEdit>("password")->setText(QStringLiteral("se cret"));
  Find<QCheckBox>("cbClublog")->setChecked(true);
  Find<QComboBox>("edLocation")->setCurrentText(QStringLiteral("\"Home QTH\""));
  window.close();

  const QRect frame = window.frameGeometry();
  const QByteArray norm_pos = QStringLiteral("%1,%2,%3,%4")
                                  .arg(frame.left())
                                  .arg(frame.top())
                                  .arg(frame.left() + frame.width())
                                  .arg(frame.top() + frame.height())
                                  .toLatin1();
  EXPECT_EQ(frame.topLeft(), QPoint(100, 50));
  const QByteArray expected =
      "[TfrmMain]\r\n"
      "FormVersion=0\r\n"
      "Flags=0\r\n"
      "ShowCmd=1\r\n"
      "PixelsPerInch=96\r\n"
      "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\n"
      "MinMaxPos=-1,-1,-1,-1\r\n"
      "NormPos(1920x1080)=" +
      norm_pos +
      "\r\n"
      "NormPos=" +
      norm_pos +
      "\r\n"
      "Visible=0\r\n"
      "cbUpdateloc_Checked=True\r\n"
      "cbUpdatestate_Checked=False\r\n"
      "cbUpdateIOTA_Checked=False\r\n"
      "cbCNTY_Checked=True\r\n"
      "cmbCNTY_Text=State2\r\n"
      "RzPageControl1_ActivePage=TabSheet3\r\n"
      "clublogemail_Text=op@example.org\r\n"
      "callsign_Text=\"'K1ABC'\"\r\n"
      "password_Text=se cret\r\n"
      "cbClublog_Checked=True\r\n"
      "edLocation_Text=\"\"Home QTH\"\"\r\n"
      "cbKeep_Checked=False\r\n";
  EXPECT_EQ(ReadAll(SettingsFile()), expected);
  EXPECT_EQ(QFile::permissions(SettingsFile()), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadUser | QFileDevice::WriteUser);

  // The quoted texts come back as typed, and so does the page.
  Create();
  window_->show();
  EXPECT_EQ(Find<QLineEdit>("callsign")->text(), QStringLiteral("'K1ABC'"));
  EXPECT_EQ(Find<QComboBox>("edLocation")->currentText(), QStringLiteral("\"Home QTH\""));
  EXPECT_EQ(Find<QComboBox>("cmbCNTY")->currentText(), QStringLiteral("State2"));
  EXPECT_EQ(Pages()->currentIndex(), 2);
  EXPECT_TRUE(Find<QCheckBox>("cbClublog")->isChecked());
}

TEST_F(FormStorageTest, SavesOnlyAfterARestoreAndOnceOnDestruction) {
  TfrmMain& window = Create();
  window.close();  // never shown: nothing restored, nothing saved
  EXPECT_FALSE(QFile::exists(SettingsFile()));

  Create().show();
  window_.reset();  // destroyed without a save at closing
  EXPECT_TRUE(ReadAll(SettingsFile()).contains("\r\nVisible=1\r\n"));

  Create().show();
  window_->close();
  window_.reset();  // the save at closing stands
  EXPECT_TRUE(ReadAll(SettingsFile()).contains("\r\nVisible=0\r\n"));
}

TEST_F(FormStorageTest, RestoreTakesElementValuesAndSkipsBadOnes) {
  WriteAll(SettingsFile(),
           "[TfrmMain]\r\n"
           "cbUpdateloc_Checked=true\r\n"
           "cbUpdatestate_Checked=yes\r\n"
           "cbKeep_Checked= TRUE \r\n"
           "RzPageControl1_ActivePage=TabSheet9\r\n"
           "edLocation_Text=\r\n"
           "password_Text=  s3cret  \r\n");
  TfrmMain& window = Create();
  // Start-up put the registry's station location and a checked box in place.
  Find<QComboBox>("edLocation")->setCurrentText(QStringLiteral("From registry"));
  Find<QCheckBox>("cbUpdatestate")->setChecked(true);
  Find<QLineEdit>("callsign")->setText(QStringLiteral("K1ABC"));
  window.show();
  EXPECT_TRUE(Find<QCheckBox>("cbUpdateloc")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("cbUpdatestate")->isChecked());  // "yes" changes nothing
  EXPECT_TRUE(Find<QCheckBox>("cbKeep")->isChecked());
  EXPECT_EQ(Pages()->currentIndex(), 0);  // no such page
  EXPECT_EQ(Find<QComboBox>("edLocation")->currentText(), QString());
  EXPECT_EQ(Find<QLineEdit>("password")->text(), QStringLiteral("s3cret"));
  EXPECT_EQ(Find<QLineEdit>("callsign")->text(), QStringLiteral("K1ABC"));  // key missing
  EXPECT_EQ(Find<QComboBox>("cmbCNTY")->currentText(), QStringLiteral("State4"));
  EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(FormStorageTest, PositionComesFromTheScreenSizedKeyElseThePlainOne) {
  struct Case {
    const char* file;
    QPoint expected;
  };
  const Case cases[] = {
      // Written on another screen: the plain key still places the window; a
      // fixed window keeps its size whatever the stored rectangle says.
      {"[TfrmMain]\r\nPixelsPerInch=96\r\nNormPos(1024x768)=5,6,500,324\r\n"
       "NormPos=300,200,400,260\r\n",
       {300, 200}},
      {"[TfrmMain]\r\nPixelsPerInch=96\r\nNormPos(1920x1080)=40,30,535,348\r\n"
       "NormPos=300,200,795,518\r\n",
       {40, 30}},
      // An item that is not a number keeps the window's own.
      {"[TfrmMain]\r\nNormPos=x,120,0,0\r\n", {7, 120}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteAll(SettingsFile(), c.file);
    TfrmMain& window = Create();
    window.move(7, 8);
    window.show();
    EXPECT_EQ(window.frameGeometry().topLeft(), c.expected);
    EXPECT_EQ(window.size(), QSize(495, 318));
    window_.reset();
    QFile::remove(SettingsFile());
  }
}

TEST_F(FormStorageTest, PositionOffEveryScreenIsMovedOntoTheNearest) {
  const QList<QRect> laptop = {QRect(0, 0, 1280, 800)};
  const QList<QRect> two_screens = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
  struct Case {
    const char* norm_pos;
    QList<QRect> areas;
    QPoint expected;
  };
  const Case cases[] = {
      // Written on a larger monitor.
      {"3000,2000,3495,2318", laptop, {785, 482}},
      {"-600,100,-105,418", laptop, {0, 100}},
      // Wholly on the second screen: where it was.
      {"1400,100,1895,418", two_screens, {1400, 100}},
      // Across both and below the second: onto the one it overlaps most.
      {"1100,700,1595,1018", two_screens, {1280, 450}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.norm_pos);
    WriteAll(SettingsFile(), QByteArray("[TfrmMain]\r\nNormPos=") + c.norm_pos + "\r\n");
    TfrmMain& window = Create();
    window.Storage().SetAvailableAreas([&c] { return c.areas; });
    window.show();
    EXPECT_EQ(window.frameGeometry().topLeft(), c.expected);
    // Closing keeps the place the window was shown at.
    window.close();
    EXPECT_TRUE(ReadAll(SettingsFile())
                    .contains(QStringLiteral("\r\nNormPos=%1,%2,")
                                  .arg(c.expected.x())
                                  .arg(c.expected.y())
                                  .toLatin1()));
    window_.reset();
    QFile::remove(SettingsFile());
  }
}

TEST_F(FormStorageTest, OtherPixelsPerInchRestoresValuesButNoPosition) {
  WriteAll(SettingsFile(),
           "[TfrmMain]\r\nPixelsPerInch=120\r\nNormPos=300,200,795,518\r\n"
           "RzPageControl1_ActivePage=TabSheet4\r\ncbCNTY_Checked=True\r\ncmbCNTY_Text=State1\r\n");
  TfrmMain& window = Create();
  window.move(7, 8);
  window.show();
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(7, 8));
  EXPECT_EQ(Pages()->currentIndex(), 3);
  EXPECT_TRUE(Find<QCheckBox>("cbCNTY")->isChecked());
  EXPECT_EQ(Find<QComboBox>("cmbCNTY")->currentText(), QStringLiteral("State1"));
  // The page shown at start has no action button and no bar.
  EXPECT_FALSE(Find<QPushButton>("btnQorv")->isVisible());
  EXPECT_FALSE(Find<QProgressBar>("ProgressBar")->isVisible());
}

TEST_F(FormStorageTest, SettingsFileIsQorvIniInTheProgramFolderFromTheStart) {
  // Named while the window is made, before any start-up step could fail.
  TfrmMain window({}, dialogs_);
  EXPECT_EQ(window.Storage().IniFileName(),
            QCoreApplication::applicationDirPath() + QStringLiteral("/qorv.ini"));
}

}  // namespace
