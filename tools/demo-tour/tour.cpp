#include "tour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/tfrm_clublog.h"
#include "app/tfrm_main.h"
#include "tour_desktop.h"

namespace {

constexpr int kLogPollSettleMs = 1500;
constexpr int kSocketWaitMs = 2000;

QString ShownDate(const QDateEdit* box) { return box->date().toString(Qt::ISODate); }

}  // namespace

// The window's elements by their names.
template <typename T>
T* Tour::Element(const char* name) const {
  T* element = window_.findChild<T*>(QLatin1String(name));
  if (element == nullptr) qFatal("The window has no element %s", name);
  return element;
}

namespace {}  // namespace

Tour::Tour(TfrmMain& window, TourDialogs& dialogs, QTextStream& out, QString shots_folder,
           QString saved_report)
    : window_(window),
      dialogs_(dialogs),
      out_(out),
      shots_folder_(std::move(shots_folder)),
      saved_report_(std::move(saved_report)) {}

int Tour::Run() {
  if (!QTest::qWaitForWindowExposed(&window_)) {
    out_ << "The window did not appear.\n";
    return 1;
  }
  Start();
  QorvDownload();
  QorvImport();
  EqslDownload();
  Upload();
  ClublogPage();
  LogSwitch();
  Close();
  return 0;
}

void Tour::Start() {
  Step(QStringLiteral("Start: the window follows the logbook's current log"));
  out_ << "    caption \"" << window_.windowTitle() << "\", log table "
       << window_.Config().LogFileName << ", log set " << window_.Config().LogSet << ", log poll "
       << (window_.LogPollActive() ? "on" : "off") << '\n';
  Shot(QStringLiteral("start"));
}

void Tour::QorvDownload() {
  ShowPage(0);
  Step(QStringLiteral("Page \"Qorv Download\": Download confirmations (QSL since ") +
       ShownDate(Element<QDateEdit>("DateTimePicker")) + u')');
  Click(Element<QAbstractButton>("btnQorv"));
  PrintWindow();
  out_ << "    QSL-since date now " << ShownDate(Element<QDateEdit>("DateTimePicker")) << '\n';
  Shot(QStringLiteral("qorv-download"));
}

void Tour::QorvImport() {
  Step(QStringLiteral("Page \"Qorv Download\": Load adif file (a report saved earlier)"));
  dialogs_.AnswerNextFile(saved_report_);
  Click(Element<QAbstractButton>("btnQorvAdif"));
  PrintWindow();
  Shot(QStringLiteral("qorv-import"));
}

void Tour::EqslDownload() {
  ShowPage(1);
  Step(QStringLiteral("Page \"eQSLcc Download\": Download confirmations (received since ") +
       ShownDate(Element<QDateEdit>("DateTimePicker2")) + u')');
  Click(Element<QAbstractButton>("btnQorv"));
  PrintWindow();
  out_ << "    received-since date now " << ShownDate(Element<QDateEdit>("DateTimePicker2"))
       << '\n';
  Shot(QStringLiteral("eqsl-download"));
  Step(QStringLiteral("Page \"eQSLcc Download\": Ignore List"));
  Click(Element<QAbstractButton>("btnIgnore"));
}

void Tour::Upload() {
  ShowPage(2);
  Step(QStringLiteral("Page \"Upload to Qorv\": the station locations of TQSL"));
  QComboBox* location = Element<QComboBox>("edLocation");
  location->showPopup();
  Wait(200);
  QStringList locations;
  for (int i = 0; i < location->count(); ++i) locations.append(location->itemText(i));
  out_ << "    TQSL " << Element<QLineEdit>("edtTqsl")->text()
       << ", locations: " << locations.join(u", ") << ", chosen \"" << location->currentText()
       << "\"\n";
  location->hidePopup();
  Step(QStringLiteral("Page \"Upload to Qorv\": Upload to Qorv (\"Upload with Qorv\" to Club "
                      "Log %1, \"Save adi and tq8 files\" %2)")
           .arg(Element<QAbstractButton>("cbClublog")->isChecked() ? u"ticked" : u"not ticked",
                Element<QAbstractButton>("cbKeep")->isChecked() ? u"ticked" : u"not ticked"));
  Click(Element<QAbstractButton>("btnQorv"));
  PrintWindow();
  Shot(QStringLiteral("upload"));
  PrintClublogReply();
}

void Tour::ClublogPage() {
  ShowPage(3);
  QString file = KeptExportFile();
  if (file.isEmpty()) file = saved_report_;
  Step(QStringLiteral("Page \"Clublog Settings\": Load ADIF (") + QDir(file).dirName() + u')');
  dialogs_.AnswerNextFile(file);
  Click(Element<QAbstractButton>("btnADIF"));
  Shot(QStringLiteral("clublog"));
  PrintClublogReply();
}

void Tour::LogSwitch() {
  Step(QStringLiteral("The logbook's user picks the log \"Portable\""));
  if (!SelectLogInLogbook(QStringLiteral("Portable"))) {
    out_ << "    the logbook did not answer\n";
    return;
  }
  Wait(kLogPollSettleMs);
  out_ << "    caption \"" << window_.windowTitle() << "\", log table "
       << window_.Config().LogFileName << '\n';
  Shot(QStringLiteral("log-switched"));
  SelectLogInLogbook(QStringLiteral("Home"));
  Wait(kLogPollSettleMs);
}

void Tour::Close() {
  Step(QStringLiteral("Closing the window (settings saved, the logbook nudged once more)"));
  window_.close();
  Wait(100);
}

void Tour::Step(const QString& title) {
  out_ << "\n* " << title << '\n';
  out_.flush();
}

void Tour::ShowPage(int index) {
  QTabBar* tabs = Element<QTabWidget>("RzPageControl1")->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
  Wait(50);
}

void Tour::Click(QAbstractButton* button) {
  // The handler runs inside the click; it returns when the action has ended.
  QTest::mouseClick(button, Qt::LeftButton);
  Wait(100);
}

void Tour::Wait(int ms) {
  const QDeadlineTimer deadline(ms);
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  } while (!deadline.hasExpired());
}

void Tour::Shot(const QString& name) {
  const QString path = QStringLiteral("%1/%2-%3.png")
                           .arg(shots_folder_)
                           .arg(++shot_number_, 2, 10, QChar(u'0'))
                           .arg(name);
  window_.grab().save(path);
  out_ << "    picture " << path << '\n';
}

void Tour::PrintWindow() {
  out_ << "    caption \"" << window_.windowTitle() << "\", progress "
       << Element<QProgressBar>("ProgressBar")->value() << '%';
  for (const char* name : {"RzLabel2", "RzLabel3", "lbQorv"}) {
    const QString text = Element<QLabel>(name)->text();
    if (!text.isEmpty()) out_ << ", " << name << " \"" << text << '"';
  }
  out_ << '\n';
}

void Tour::PrintClublogReply() {
  TfrmClublog* reply = TfrmClublog::Program();
  if (reply == nullptr || !reply->isVisible()) return;
  out_ << "    Club Log's reply window: "
       << reply->Memo1()->toPlainText().trimmed().replace(u'\n', QStringLiteral(" / ")) << '\n';
  const QString path = QStringLiteral("%1/%2-clublog-reply.png")
                           .arg(shots_folder_)
                           .arg(shot_number_, 2, 10, QChar(u'0'));
  reply->grab().save(path);
  out_ << "    picture " << path << '\n';
  reply->hide();
}

bool Tour::SelectLogInLogbook(const QString& name) {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  QLocalSocket socket;
  socket.connectToServer((runtime.isEmpty() ? QByteArray("/tmp") : runtime) +
                         "/Vodrix_Log3.windows");
  if (!socket.waitForConnected(kSocketWaitMs)) return false;
  socket.write("X_SELECT_LOG\t" + name.toUtf8() + '\n');
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kSocketWaitMs)) return false;
  }
  return socket.readLine().trimmed() == "1";
}

QString Tour::KeptExportFile() const {
  const QDir folder(window_.Config().InstallPath + QStringLiteral("Qorv Logs"));
  const QStringList files = folder.entryList({QStringLiteral("*.adi")}, QDir::Files, QDir::Time);
  return files.isEmpty() ? QString() : folder.filePath(files.first());
}
