// What the window shows: the page-dependent display, the date-range
// switches, the password display and the colours of the labels.
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWheelEvent>

#include "main_window_fixture.h"

namespace {

QColor TextColour(QLabel* label) {
  label->ensurePolished();
  return label->palette().color(QPalette::WindowText);
}

void WriteSettings(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

TEST_F(MainWindowTest, StoredUploadPageShowsUploadButtonAndHidesBarUntilClicked) {
  WriteSettings(SettingsFile(), "[TfrmMain]\r\nRzPageControl1_ActivePage=TabSheet3\r\n");
  TfrmMain& window = Create();
  auto* bar = Find<QProgressBar>("ProgressBar");
  auto* button = Find<QPushButton>("btnQorv");
  window.SetProgress(40);
  window.SetResult(ResultLabel::kQorvDownload, QStringLiteral("Download QSO: 3"));
  window.SetResult(ResultLabel::kUpload, QStringLiteral("old"));
  window.show();

  EXPECT_EQ(Pages()->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
  EXPECT_EQ(button->text(), QStringLiteral("Upload to Qorv"));
  EXPECT_TRUE(button->isVisible());
  EXPECT_FALSE(bar->isVisible());
  // The first display keeps the position and the download labels.
  EXPECT_EQ(bar->value(), 40);
  EXPECT_EQ(Find<QLabel>("RzLabel2")->text(), QStringLiteral("Download QSO: 3"));
  EXPECT_EQ(Find<QLabel>("lbQorv")->text(), QString());

  ClickTab(2);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(Find<QLabel>("RzLabel2")->text(), QString());
}

TEST_F(MainWindowTest, ClickingThePagesSetsButtonBarAndLabels) {
  TfrmMain& window = Create();
  window.show();
  auto* bar = Find<QProgressBar>("ProgressBar");
  auto* button = Find<QPushButton>("btnQorv");
  EXPECT_EQ(button->text(), QStringLiteral("Download confirmations"));

  ClickTab(3);
  window.SetResult(ResultLabel::kQorvDownload, QStringLiteral("Download QSO: 1"));
  window.SetResult(ResultLabel::kEqslDownload, QStringLiteral("Download QSO: 2"));
  window.SetResult(ResultLabel::kUpload, QStringLiteral("Uploading was successful ! QSO: 5"));
  window.SetProgress(70);
  ClickTab(3);  // clicking the page already shown runs the display again
  EXPECT_EQ(Pages()->currentIndex(), 3);
  EXPECT_FALSE(button->isVisible());
  EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(Find<QLabel>("RzLabel2")->text(), QString());
  EXPECT_EQ(Find<QLabel>("RzLabel3")->text(), QString());
  EXPECT_EQ(Find<QLabel>("lbQorv")->text(), QStringLiteral("Uploading was successful ! QSO: 5"));

  ClickTab(1);
  EXPECT_TRUE(button->isVisible());
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(button->text(), QStringLiteral("Download confirmations"));
  EXPECT_EQ(Find<QLabel>("lbQorv")->text(), QString());

  ClickTab(2);
  EXPECT_EQ(button->text(), QStringLiteral("Upload to Qorv"));
  EXPECT_TRUE(bar->isVisible());
}

TEST_F(MainWindowTest, DisplayFollowsThePageHoweverItWasChanged) {
  // Each way leaves the page control one page further on than before.
  const std::pair<const char*, std::function<void(QTabWidget*)>> ways[] = {
      {"Ctrl+Tab",
       [](QTabWidget* pages) {
         QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
         QApplication::sendEvent(pages, &key);
       }},
      {"wheel on the tabs",
       [](QTabWidget* pages) {
         QTabBar* bar = pages->tabBar();
         const QPointF pos = QRectF(bar->rect()).center();
         QWheelEvent wheel(pos, bar->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
         QApplication::sendEvent(bar, &wheel);
       }},
      {"program", [](QTabWidget* pages) { pages->setCurrentIndex(pages->currentIndex() + 1); }}};
  for (const auto& [name, next_page] : ways) {
    SCOPED_TRACE(name);
    TfrmMain& window = Create();
    window.show();
    auto* bar = Find<QProgressBar>("ProgressBar");
    auto* button = Find<QPushButton>("btnQorv");
    window.SetResult(ResultLabel::kQorvDownload, QStringLiteral("Download QSO: 1"));
    window.SetProgress(30);
    Pages()->setCurrentIndex(1);
    next_page(Pages());
    ASSERT_EQ(Pages()->currentIndex(), 2);
    EXPECT_EQ(button->text(), QStringLiteral("Upload to Qorv"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(Find<QLabel>("RzLabel2")->text(), QString());
    next_page(Pages());
    ASSERT_EQ(Pages()->currentIndex(), 3);
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(bar->isVisible());
    Pages()->setCurrentIndex(0);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Download confirmations"));
  }
}

TEST_F(MainWindowTest, ResultLabelsTurnRedAndStayRedOwnCallIsBlue) {
  TfrmMain& window = Create();
  window.show();
  auto* label = Find<QLabel>("RzLabel3");
  const QColor before = TextColour(label);
  EXPECT_NE(before, QColor(255, 0, 0));
  window.SetResult(ResultLabel::kEqslDownload, QStringLiteral("Download QSO: 0"));
  EXPECT_EQ(label->text(), QStringLiteral("Download QSO: 0"));
  EXPECT_EQ(TextColour(label), QColor(255, 0, 0));
  ClickTab(1);
  EXPECT_EQ(label->text(), QString());
  EXPECT_EQ(TextColour(label), QColor(255, 0, 0));
  EXPECT_EQ(TextColour(Find<QLabel>("RzLabel1")), QColor(0, 0, 255));
}

TEST_F(MainWindowTest, LoadFromDateShowsAndHidesTheRangeBoxes) {
  TfrmMain& window = Create();
  window.show();
  struct Switch {
    const char* box;
    const char* start;
    const char* end;
    int page;
  };
  for (const Switch& s : {Switch{"cbLoadDate", "DateTimePicker1", "DateTimePicker3", 0},
                          Switch{"cbLoadDateEQSL", "DateTimePicker5", "DateTimePicker4", 1}}) {
    SCOPED_TRACE(s.box);
    ClickTab(s.page);
    auto* box = Find<QCheckBox>(s.box);
    auto* start = Find<QDateEdit>(s.start);
    auto* end = Find<QDateEdit>(s.end);
    start->setDate(QDate(2023, 1, 2));
    box->click();
    EXPECT_TRUE(start->isVisible());
    EXPECT_TRUE(end->isVisible());
    box->click();
    EXPECT_FALSE(start->isVisible());
    EXPECT_FALSE(end->isVisible());
    EXPECT_EQ(start->date(), QDate(2023, 1, 2));
  }
}

TEST_F(MainWindowTest, PasswordIsReadableWhileCheckBox1IsTicked) {
  TfrmMain& window = Create();
  window.show();
  ClickTab(3);
  auto* password = Find<QLineEdit>("password");
  auto* show = Find<QCheckBox>("CheckBox1");
  ClickWidget(show);
  // The mask follows the box at the next event the program handles.
  QEvent next(QEvent::User);
  QApplication::sendEvent(&window, &next);
  EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
  ClickWidget(show);
  QApplication::sendEvent(&window, &next);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
}

}  // namespace
