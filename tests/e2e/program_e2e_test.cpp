// The real program with the logbook double, the service double and the TQSL
// double, on a private X display, driven through its window with xdotool.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "program_sandbox.h"
#include "support/loopback_http_server.h"
#include "x_display.h"

namespace {

// Where the page control's pages start in the window's client area (below
// the tabs), and the middle of each tab (captions in Tahoma 8 pt).
const QPoint kPageOrigin(1, 23);
const QPoint kTabs[] = {{47, 10}, {146, 10}, {244, 10}, {339, 10}};

// The middle of an element placed (left, top, width, height) on a page, or in
// the bottom panel, which starts at 0, 227.
QPoint OnPage(int left, int top, int width, int height) {
  return kPageOrigin + QPoint(left + width / 2, top + height / 2);
}
QPoint OnPanel(int left, int top, int width, int height) {
  return QPoint(0, 227) + QPoint(left + width / 2, top + height / 2);
}

const QPoint kBtnQorv = OnPanel(170, 40, 152, 25);
const QPoint kBtnQorvAdif = OnPage(258, 170, 109, 25);
const QPoint kBtnAdif = OnPage(72, 158, 113, 25);

constexpr int kActionMs = 60000;

QString ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QStringList Ids(const QList<LoggedQso>& qsos) {
  QStringList ids;
  for (const LoggedQso& qso : qsos) ids.append(QString::number(qso.id));
  return ids;
}

class ProgramTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { display_ = new XDisplay; }
  static void TearDownTestSuite() {
    delete display_;
    display_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(display_->Name().isEmpty()) << "Xvfb did not start";
    sandbox_ = std::make_unique<ProgramSandbox>(*display_);
  }

  void StartBoth() {
    sandbox_->StartLogbook();
    ASSERT_TRUE(sandbox_->LogbookRuns());
    ASSERT_TRUE(sandbox_->StartProgram());
  }

  void ShowPage(int page) { sandbox_->Click(kTabs[page]); }

  // Clicks, then waits for the nudge that ends an action: the logbook reloads.
  bool ClickAndWaitForNudge(QPoint point) {
    const int reloads = sandbox_->LogbookReloads();
    sandbox_->Click(point);
    return sandbox_->WaitUntil([&] { return sandbox_->LogbookReloads() > reloads; }, kActionMs);
  }

  // Clicks a button that opens the file dialog and types the path into it.
  void ChooseFileThrough(QPoint button, const QString& path) {
    sandbox_->Click(button);
    ASSERT_TRUE(sandbox_->WaitUntil([&] { return !sandbox_->DialogWindows().isEmpty(); }, 10000));
    const QString dialog = sandbox_->DialogWindows().constFirst();
    display_->Type(dialog, path);
    display_->Key(dialog, QStringLiteral("Return"));
  }

  int CountWhere(const QString& table, const QString& condition) {
    return sandbox_
        ->Scalar(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE %2").arg(table, condition))
        .toInt();
  }

  static XDisplay* display_;
  std::unique_ptr<ProgramSandbox> sandbox_;
};

XDisplay* ProgramTest::display_ = nullptr;

TEST_F(ProgramTest, QorvDownloadConfirmsTheLogSetAndListsWhatMatchesNothing) {
  const QList<LoggedQso> home =
      sandbox_->PickQsos(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 0"), 4);
  const QList<LoggedQso> portable =
      sandbox_->PickQsos(QStringLiteral("Log_Portable"), QStringLiteral("QorvRec = 0"), 2);
  ASSERT_EQ(home.size(), 4);
  ASSERT_EQ(portable.size(), 2);
  sandbox_->ServeQorv(QStringLiteral("N0CALL"), home + portable, QStringLiteral("ZZ9ZZZ"));
  const QString key = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
  const QString since_before = sandbox_->RegistryString(key, QStringLiteral("QorvDate_Date"));
  StartBoth();
  EXPECT_EQ(sandbox_->Caption(), QStringLiteral("Home"));

  ShowPage(0);
  ASSERT_TRUE(ClickAndWaitForNudge(kBtnQorv)) << sandbox_->AnsweredBoxes().join(u'|').toStdString();

  const QString confirmed =
      QStringLiteral("QorvRec = 1 AND QorvRecDate = '2024-06-15' AND ID IN (%1)");
  EXPECT_EQ(CountWhere(QStringLiteral("Log_Home"), confirmed.arg(Ids(home).join(u','))), 4);
  EXPECT_EQ(CountWhere(QStringLiteral("Log_Portable"), confirmed.arg(Ids(portable).join(u','))), 2);
  EXPECT_TRUE(ReadAll(sandbox_->InstallPath() + QStringLiteral("Download/qorvreport.adi"))
                  .contains(QLatin1String("ARRL Qorv Status Report")));
  const QString errors = sandbox_->ProgramFolder() + QStringLiteral("QorvError.txt");
  EXPECT_TRUE(ReadAll(errors).contains(QLatin1String("ZZ9ZZZ")));
  EXPECT_TRUE(sandbox_->OpenedByDesktop().join(u'\n').contains(QLatin1String("QorvError.txt")));
  const QString since_after = sandbox_->RegistryString(key, QStringLiteral("QorvDate_Date"));
  EXPECT_NE(since_after, since_before);
  EXPECT_GT(since_after.toDouble(), since_before.toDouble());
  EXPECT_EQ(sandbox_->Caption(), QStringLiteral("Home"));
}

TEST_F(ProgramTest, ImportOfTheSavedReportConfirmsAgain) {
  const QList<LoggedQso> qsos =
      sandbox_->PickQsos(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 0"), 3);
  sandbox_->ServeQorv(QStringLiteral("N0CALL"), qsos, QString());
  StartBoth();
  ShowPage(0);
  ASSERT_TRUE(ClickAndWaitForNudge(kBtnQorv));
  const QString ids = Ids(qsos).join(u',');
  ASSERT_EQ(
      CountWhere(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 1 AND ID IN (%1)").arg(ids)),
      3);
  ASSERT_TRUE(sandbox_->Execute(
      QStringLiteral("UPDATE Log_Home SET QorvRec = 0, QorvRecDate = NULL WHERE ID IN (%1)")
          .arg(ids)));

  const int reloads = sandbox_->LogbookReloads();
  ChooseFileThrough(kBtnQorvAdif,
                    sandbox_->InstallPath() + QStringLiteral("Download/qorvreport.adi"));
  ASSERT_TRUE(sandbox_->WaitUntil([&] { return sandbox_->LogbookReloads() > reloads; }, kActionMs));

  EXPECT_EQ(
      CountWhere(
          QStringLiteral("Log_Home"),
          QStringLiteral("QorvRec = 1 AND QorvRecDate = '2024-06-15' AND ID IN (%1)").arg(ids)),
      3);
}

TEST_F(ProgramTest, EqslDownloadMarksQsosAndKeepsIgnoredCallsOffTheErrorList) {
  const QList<LoggedQso> qsos =
      sandbox_->PickQsos(QStringLiteral("Log_Home"), QStringLiteral("QSLReceQSLcc = 0"), 4);
  ASSERT_EQ(qsos.size(), 4);
  sandbox_->ServeEqsl(QStringLiteral("N0CALL"), qsos,
                      {QStringLiteral("ZZ8ZZZ"), QStringLiteral("Q0IGN")});
  const QString key = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
  const QString since_before = sandbox_->RegistryString(key, QStringLiteral("eQSLDate_Date"));
  StartBoth();

  ShowPage(1);
  ASSERT_TRUE(ClickAndWaitForNudge(kBtnQorv)) << sandbox_->AnsweredBoxes().join(u'|').toStdString();

  EXPECT_EQ(CountWhere(QStringLiteral("Log_Home"),
                       QStringLiteral("QSLReceQSLcc = 1 AND ID IN (%1)").arg(Ids(qsos).join(u','))),
            4);
  EXPECT_TRUE(QFile::exists(sandbox_->InstallPath() + QStringLiteral("Download/updateeQSLcc.adi")));
  const QString errors = ReadAll(sandbox_->ProgramFolder() + QStringLiteral("eQSLccError.txt"));
  EXPECT_TRUE(errors.contains(QLatin1String("ZZ8ZZZ")));
  EXPECT_FALSE(errors.contains(QLatin1String("Q0IGN")));
  EXPECT_GT(sandbox_->RegistryString(key, QStringLiteral("eQSLDate_Date")).toDouble(),
            since_before.toDouble());
}

TEST_F(ProgramTest, UploadWithClublogTickedSendsTheUnsentQsosToQorvAndClublog) {
  const int unsent = CountWhere(QStringLiteral("Log_Home"), QStringLiteral("QorvSent = 0"));
  ASSERT_GT(unsent, 0);
  StartBoth();

  ShowPage(2);
  ASSERT_TRUE(ClickAndWaitForNudge(kBtnQorv)) << sandbox_->AnsweredBoxes().join(u'|').toStdString();

  EXPECT_EQ(CountWhere(QStringLiteral("Log_Home"), QStringLiteral("QorvSent = 0")), 0);
  const QDir uploads(sandbox_->ServicesFolder() + QStringLiteral("uploads"));
  const QStringList signed_logs = uploads.entryList({QStringLiteral("*.tq8.adi")}, QDir::Files);
  ASSERT_EQ(signed_logs.size(), 1);
  EXPECT_EQ(ReadAll(uploads.filePath(signed_logs.first()))
                .count(QLatin1String("<EOR>"), Qt::CaseInsensitive),
            unsent);
  const QStringList clublog =
      QDir(sandbox_->ServicesFolder() + QStringLiteral("clublog")).entryList(QDir::Files);
  EXPECT_EQ(clublog.size(), 1);
  EXPECT_FALSE(sandbox_->ReplyWindow().isEmpty());
  // Without "Save adi and tq8 files" the upload files do not stay.
  EXPECT_TRUE(QDir(sandbox_->InstallPath() + QStringLiteral("Qorv Logs"))
                  .entryList({QStringLiteral("*.tq8")}, QDir::Files)
                  .isEmpty());
}

TEST_F(ProgramTest, LogSwitchedInTheLogbookIsTheLogTheNextDownloadWorksOn) {
  const QList<LoggedQso> club =
      sandbox_->PickQsos(QStringLiteral("Log_Club"), QStringLiteral("QSLReceQSLcc = 0"), 3);
  ASSERT_EQ(club.size(), 3);
  sandbox_->ServeEqsl(QStringLiteral("N0CLB"), club, {});
  StartBoth();

  ASSERT_EQ(sandbox_->LogbookRequest(QStringLiteral("X_SELECT_LOG\tClub")), QStringLiteral("1"));
  ASSERT_TRUE(
      sandbox_->WaitUntil([&] { return sandbox_->Caption() == QLatin1String("Club"); }, 5000));
  ShowPage(1);
  ASSERT_TRUE(ClickAndWaitForNudge(kBtnQorv)) << sandbox_->AnsweredBoxes().join(u'|').toStdString();

  // The log set "Club" with its own account: the other set stays untouched.
  EXPECT_EQ(CountWhere(QStringLiteral("Log_Club"),
                       QStringLiteral("QSLReceQSLcc = 1 AND ID IN (%1)").arg(Ids(club).join(u','))),
            3);
  const QString requests = ReadAll(sandbox_->ServicesFolder() + QStringLiteral("requests.log"));
  EXPECT_TRUE(requests.contains(QLatin1String("Username=N0CLB&Password=club-eqsl")));
  EXPECT_FALSE(requests.contains(QLatin1String("Username=N0CALL")));
}

TEST_F(ProgramTest, LoadAdifSendsTheChosenFileToClublog) {
  const QString file = sandbox_->ProgramFolder() + QStringLiteral("chosen log.adi");
  QFile adif(file);
  ASSERT_TRUE(adif.open(QIODevice::WriteOnly));
  adif.write(
      "<CALL:5>DL1AB <QSO_DATE:8>20240301 <TIME_ON:4>1015 <BAND:3>20M <MODE:3>FT8 <eor>\r\n");
  adif.close();
  StartBoth();

  ShowPage(3);
  ChooseFileThrough(kBtnAdif, file);

  const QDir received(sandbox_->ServicesFolder() + QStringLiteral("clublog"));
  ASSERT_TRUE(
      sandbox_->WaitUntil([&] { return !received.entryList(QDir::Files).isEmpty(); }, kActionMs));
  EXPECT_TRUE(ReadAll(received.filePath(received.entryList(QDir::Files).constFirst()))
                  .contains(QLatin1String("DL1AB")));
  EXPECT_TRUE(sandbox_->WaitUntil([&] { return !sandbox_->ReplyWindow().isEmpty(); }, 5000));
}

TEST_F(ProgramTest, ClosingWithTheLogbookNotRunningStartsItAndKeepsTheSettings) {
  StartBoth();
  sandbox_->StopLogbook();
  ASSERT_FALSE(sandbox_->LogbookRuns());

  ASSERT_TRUE(sandbox_->CloseProgram());

  EXPECT_TRUE(sandbox_->WaitUntil([&] { return sandbox_->LogbookRuns(); }, 30000));
  const QString ini = ReadAll(sandbox_->ProgramFolder() + QStringLiteral("qorv.ini"));
  EXPECT_TRUE(ini.contains(QLatin1String("NormPos=")));
  EXPECT_TRUE(ini.contains(QLatin1String("clublogemail_Text=op@example.org")));
}

TEST_F(ProgramTest, ClosingDuringAStalledDownloadEndsAtOnceAndChangesNothing) {
  LoopbackHttpServer silent;
  ScriptedReply never = ScriptedReply::Ok("ARRL Qorv Status Report");
  never.delay_ms = 60000;
  silent.Enqueue(never);
  sandbox_->SetSetting(QStringLiteral("Services"), QStringLiteral("Qorv"), silent.Url(QString()));
  const QString key = QStringLiteral("Software\\Vodrix_Log3\\TfmSendQSOstoQorv");
  const QString since_before = sandbox_->RegistryString(key, QStringLiteral("QorvDate_Date"));
  const int confirmed_before =
      CountWhere(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 1"));
  StartBoth();
  ShowPage(0);
  sandbox_->Click(kBtnQorv);
  ASSERT_TRUE(sandbox_->WaitUntil([&] { return !silent.Requests().empty(); }, 10000));

  QElapsedTimer closing;
  closing.start();
  ASSERT_TRUE(sandbox_->CloseProgram());
  // The abandoned exchange, the closing nudge's second and the save.
  EXPECT_LT(closing.elapsed(), 3000);
  EXPECT_TRUE(sandbox_->AnsweredBoxes().isEmpty())
      << sandbox_->AnsweredBoxes().join(u'|').toStdString();
  EXPECT_EQ(sandbox_->RegistryString(key, QStringLiteral("QorvDate_Date")), since_before);
  EXPECT_EQ(CountWhere(QStringLiteral("Log_Home"), QStringLiteral("QorvRec = 1")),
            confirmed_before);
  EXPECT_FALSE(QFile::exists(sandbox_->InstallPath() + QStringLiteral("Download/qorvreport.adi")));
  EXPECT_TRUE(ReadAll(sandbox_->ProgramFolder() + QStringLiteral("qorv.ini"))
                  .contains(QLatin1String("Visible=0")));
}

TEST_F(ProgramTest, PositionStoredOnALargerScreenOpensOnThisOne) {
  sandbox_->SetSetting(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"),
                       QStringLiteral("3000,2000,3495,2318"));
  StartBoth();
  const QPoint position = display_->WindowPosition(sandbox_->MainWindow());
  // The private X server's screen is 1024 by 768.
  EXPECT_GE(position.x(), 0);
  EXPECT_GE(position.y(), 0);
  EXPECT_LE(position.x() + 495, 1024);
  EXPECT_LE(position.y() + 318, 768);
}

}  // namespace
