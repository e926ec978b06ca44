#include "app/tfrm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include "app/app_resources.h"
#include "app/date_format.h"
#include "app/error_box.h"
#include "app/stored_date_box.h"
#include "app/window_font.h"
#include "platform/clock.h"
#include "platform/operation_abandon.h"
#include "platform/program_files.h"
#include "platform/shell.h"
#include "session/service_addresses.h"
#include "session/stored_options.h"
#include "ui_tfrm_main.h"

namespace {

constexpr int kLogPollMs = 300;
const QString kRed = QStringLiteral("color: #ff0000;");
const QString kBlue = QStringLiteral("color: #0000ff;");

}  // namespace

// Disables the action buttons while an action runs; they come back when it
// ends, also through an error.
class TfrmMain::BusyScope {
 public:
  explicit BusyScope(TfrmMain& form) : form_(form), was_running_(form.action_running_) {
    form_.action_running_ = true;
    form_.SetActionButtonsEnabled(false);
  }
  ~BusyScope() {
    if (was_running_) return;
    form_.action_running_ = false;
    form_.SetActionButtonsEnabled(true);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TfrmMain& form_;
  bool was_running_;
};

TfrmMain::TfrmMain(MainActions actions, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TfrmMain>()),
      actions_(std::move(actions)),
      dialogs_(dialogs),
      form_storage_(*this, StoredOptionNames(), *this) {
  InitAppResources();
  const ProgramFiles files = ProgramFiles::OfThisProgram();
  config_.ProgramFolder = files.SettingsFolder();
  config_.StateFolder = files.StateFolder();
  // Named before any start-up step can fail, so that a failed start-up still
  // restores and saves the settings in the program's own file.
  form_storage_.SetIniFileName(ProgramSettingsFile(config_));
  // The program's font rather than the window's own, and before the
  // elements exist: under the style sheet an element takes the font it was
  // polished with, and a window's font does not reach the elements on its
  // pages.
  QApplication::setFont(WindowFont());
  ui_->setupUi(this);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setFixedSize(495, 318);

  // Captions size themselves to their text.
  for (QLabel* label : {ui_->RzLabel1, ui_->Label3, ui_->Label4, ui_->Label6, ui_->Label5,
                        ui_->Label1, ui_->Label2, ui_->Label7, ui_->Label8, ui_->Label9}) {
    label->adjustSize();
  }
  const QString date_format = DateBoxFormat();
  const QDate today = ProgramClock().NowLocal().date();
  for (QDateEdit* box : {ui_->DateTimePicker, ui_->DateTimePicker1, ui_->DateTimePicker3,
                         ui_->DateTimePicker2, ui_->DateTimePicker5, ui_->DateTimePicker4}) {
    UseLocalTime(box);
    box->setDisplayFormat(date_format);
    box->setDate(today);
  }

  ui_->StatusBar->setSizeGripEnabled(false);
  ui_->StatusBar->setFixedHeight(19);
  version_panel_ = new QLabel(QStringLiteral("v" QORVSYNC_VERSION), ui_->StatusBar);
  version_panel_->setObjectName(QStringLiteral("StatusPanel"));
  version_panel_->setFixedWidth(50);
  version_panel_->setAlignment(Qt::AlignCenter);
  ui_->StatusBar->addWidget(version_panel_);

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer"));
  timer_->setInterval(kLogPollMs);

  // The display follows the page shown however it changed (mouse, keyboard,
  // wheel); a click on the page already shown runs it again.
  connect(ui_->RzPageControl1, &QTabWidget::currentChanged, this, [this] {
    // The page restored before the first display is shown by FormShow.
    if (!restoring_) RzPageControl1Click();
  });
  connect(ui_->RzPageControl1->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
    if (index == ui_->RzPageControl1->currentIndex()) RzPageControl1Click();
  });
  connect(ui_->btnQorv, &QPushButton::clicked, this, &TfrmMain::btnQorvClick);
  connect(ui_->btnQorvAdif, &QPushButton::clicked, this, &TfrmMain::btnQorvAdifClick);
  connect(ui_->btnIgnore, &QPushButton::clicked, this, &TfrmMain::btnIgnoreClick);
  connect(ui_->btnADIF, &QPushButton::clicked, this, &TfrmMain::btnADIFClick);
  connect(ui_->edLocation, &DropDownComboBox::DroppingDown, this, &TfrmMain::edLocationDropDown);
  connect(ui_->Image1, &ClickLabel::Clicked, this, &TfrmMain::Image1Click);
  connect(ui_->Image3, &ClickLabel::Clicked, this, &TfrmMain::Image1Click);
  connect(ui_->Image2, &ClickLabel::Clicked, this, &TfrmMain::Image2Click);
  connect(ui_->cbLoadDate, &QCheckBox::clicked, this, &TfrmMain::cbLoadDateClick);
  connect(ui_->cbLoadDateEQSL, &QCheckBox::clicked, this, &TfrmMain::cbLoadDateEQSLClick);
  connect(timer_, &QTimer::timeout, this, &TfrmMain::TimerTimer);
  connect(ui_->edOwnCall, &QLineEdit::textChanged, this, [this](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int cursor = ui_->edOwnCall->cursorPosition();
    ui_->edOwnCall->setText(upper);
    ui_->edOwnCall->setCursorPosition(cursor);
  });
  // ApplicationEvents1: sees every event of the program.
  qApp->installEventFilter(this);

  FormCreate();
}

TfrmMain::~TfrmMain() {
  qApp->removeEventFilter(this);
  form_storage_.SaveOnDestroy();
}

void TfrmMain::StartLogPoll() { timer_->start(); }

bool TfrmMain::LogPollActive() const { return timer_->isActive(); }

void TfrmMain::SetCaption(const QString& caption) {
  ThrowIfAbandoned();
  setWindowTitle(caption);
}

void TfrmMain::SetProgress(int percent) {
  ThrowIfAbandoned();
  ui_->ProgressBar->setValue(qBound(0, percent, 100));
}

void TfrmMain::SetActionButtonsEnabled(bool enabled) {
  for (QWidget* button :
       {static_cast<QWidget*>(ui_->btnQorv), static_cast<QWidget*>(ui_->btnQorvAdif),
        static_cast<QWidget*>(ui_->btnIgnore), static_cast<QWidget*>(ui_->btnADIF)}) {
    button->setEnabled(enabled);
  }
}

QLabel* TfrmMain::ResultLabelOf(ResultLabel label) const {
  switch (label) {
    case ResultLabel::kQorvDownload:
      return ui_->RzLabel2;
    case ResultLabel::kEqslDownload:
      return ui_->RzLabel3;
    case ResultLabel::kUpload:
      return ui_->lbQorv;
  }
  return nullptr;
}

void TfrmMain::SetResult(ResultLabel label, const QString& text) {
  QLabel* target = ResultLabelOf(label);
  target->setStyleSheet(kRed);  // and red it stays
  target->setText(text);
}

void TfrmMain::ThrowIfAbandoned() const {
  if (action_running_ && AbandonRequested()) throw OperationAbandoned();
}

void TfrmMain::ProcessEvents() {
  ThrowIfAbandoned();
  QCoreApplication::processEvents();
  // A close request among the events abandons the running operation here.
  ThrowIfAbandoned();
}

void TfrmMain::ShowMessage(MessageKind kind, const QString& text, const QString& caption) {
  // An abandoned operation's boxes are not shown.
  if (AbandonRequested()) return;
  dialogs_.ShowMessage(this, kind, text, caption);
}

void TfrmMain::ShowTextFile(const QString& path) {
  if (AbandonRequested()) return;
  ProgramShell().OpenTextFile(path);
}

bool TfrmMain::ChooseAdifFile(QString* path) {
  if (AbandonRequested()) return false;
  // OpenDialog1: "adi|*.adi", default extension "adi", keeps its last file.
  const bool chosen = dialogs_.ChooseOpenFile(this, QStringLiteral("adi (*.adi)"),
                                              QStringLiteral("adi"), &open_dialog_file_name_);
  *path = open_dialog_file_name_;
  return chosen;
}

void TfrmMain::setVisible(bool visible) {
  if (visible && !isVisible()) {
    // The settings store restores before the window's own show handling.
    restoring_ = true;
    form_storage_.Restore();
    restoring_ = false;
    FormShow();
  }
  QMainWindow::setVisible(visible);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  event->ignore();
  // The closing steps let events run (the nudge waits a second); a second
  // close request meanwhile must not run them again.
  if (closing_) return;
  if (action_running_) {
    // The running operation stops at once; the window closes as soon as it
    // has unwound, so that nothing of it follows the saved settings.
    close_after_action_ = true;
    RequestAbandon();
    return;
  }
  closing_ = true;
  SetActionButtonsEnabled(false);
  form_storage_.SaveAtClose();
  FormClose();
  event->accept();
}

void TfrmMain::CloseIfRequestedDuringAction() {
  if (!close_after_action_ || action_running_) return;
  close_after_action_ = false;
  ClearAbandon();
  close();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (!in_message_hook_) {
    in_message_hook_ = true;
    ApplicationEvents1Message();
    in_message_hook_ = false;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::PageDependentDisplay(bool from_click) {
  if (from_click) ui_->ProgressBar->setValue(0);
  const QWidget* page = ui_->RzPageControl1->currentWidget();
  if (page == ui_->TabSheet3) {
    // The bar stays hidden on the upload page until the page control is clicked.
    ui_->ProgressBar->setVisible(from_click);
    ui_->btnQorv->setVisible(true);
    ui_->lbQorv->clear();
    ui_->btnQorv->setText(QStringLiteral("Upload to Qorv"));
  } else if (page == ui_->TabSheet4) {
    ui_->ProgressBar->setVisible(false);
    ui_->btnQorv->setVisible(false);
  } else {
    ui_->ProgressBar->setVisible(true);
    ui_->btnQorv->setVisible(true);
    ui_->lbQorv->clear();
    ui_->btnQorv->setText(QStringLiteral("Download confirmations"));
  }
  if (from_click) {
    ui_->RzLabel3->clear();
    ui_->RzLabel2->clear();
  }
}

void TfrmMain::RzPageControl1Click() {
  RunGuarded(*this, [this] { PageDependentDisplay(true); });
}

void TfrmMain::FormShow() {
  RunGuarded(*this, [this] {
    ui_->RzLabel1->setStyleSheet(kBlue);
    PageDependentDisplay(false);
  });
}

void TfrmMain::btnQorvClick() {
  if (action_running_ || closing_) return;
  {
    BusyScope busy(*this);
    RunQorvAction();
  }
  CloseIfRequestedDuringAction();
}

void TfrmMain::RunQorvAction() {
  RunGuarded(*this, [this] {
    current_action_ = {ProgramClock().NowUtc(), config_};
    const ActionContext context = current_action_;
    // Only the action of the page shown at the press runs: a page switched
    // while it runs starts nothing more.
    const std::pair<QWidget*, MainActions::PageAction*> actions[] = {
        {ui_->TabSheet1, &actions_.qorv_download},
        {ui_->TabSheet2, &actions_.eqsl_download},
        {ui_->TabSheet3, &actions_.upload}};
    QWidget* const pressed_on = ui_->RzPageControl1->currentWidget();
    for (const auto& [page, action] : actions) {
      if (page != pressed_on || !*action) continue;
      if ((*action)(*this, context) == ActionEnd::kStop) return;
    }
    CommonTail();
  });
}

void TfrmMain::CommonTail() {
  SetCaption(config_.LogName);
  LocateAndNudgeLogbook();
}

void TfrmMain::LocateAndNudgeLogbook() {
  if (actions_.locate_log_selector) actions_.locate_log_selector(*this);
  if (actions_.nudge_logbook) actions_.nudge_logbook(*this);
}

void TfrmMain::RunAction(const MainActions::Handler& action) {
  if (action_running_ || closing_ || !action) return;
  {
    BusyScope busy(*this);
    current_action_ = {ProgramClock().NowUtc(), config_};
    RunGuarded(*this, [&] { action(*this); });
  }
  CloseIfRequestedDuringAction();
}

void TfrmMain::btnQorvAdifClick() { RunAction(actions_.qorv_adif_import); }

void TfrmMain::btnIgnoreClick() { RunAction(actions_.ignore_list); }

void TfrmMain::btnADIFClick() { RunAction(actions_.clublog_load_adif); }

void TfrmMain::edLocationDropDown() {
  if (!actions_.location_drop_down) return;
  RunGuarded(*this, [this] { actions_.location_drop_down(*this); });
}

void TfrmMain::OpenLoginPage(const QString& url) { ProgramShell().OpenUrl(url); }

void TfrmMain::Image1Click() {
  RunGuarded(*this, [this] {
    const QString host = RequireServiceAddress(config_.Services.qorv_web, QStringLiteral("QorvWeb"),
                                               ProgramSettingsFile(config_));
    OpenLoginPage(host + QStringLiteral("/qorvuser/default?login=") +
                  QString::fromLatin1(QUrl::toPercentEncoding(config_.EQorvUserName)) +
                  QStringLiteral("&password=") +
                  QString::fromLatin1(QUrl::toPercentEncoding(config_.EQorvPassword)));
  });
}

void TfrmMain::Image2Click() {
  RunGuarded(*this, [this] {
    OpenLoginPage(config_.Services.eqsl + QStringLiteral("/qslcard/LoginFinish.cfm?Callsign=") +
                  QString::fromLatin1(QUrl::toPercentEncoding(config_.EQSLUserName)) +
                  QStringLiteral("&EnteredPassword=") +
                  QString::fromLatin1(QUrl::toPercentEncoding(config_.EQSLPassword)));
  });
}

void TfrmMain::cbLoadDateClick() {
  const bool range = ui_->cbLoadDate->isChecked();
  ui_->DateTimePicker1->setVisible(range);
  ui_->DateTimePicker3->setVisible(range);
}

void TfrmMain::cbLoadDateEQSLClick() {
  const bool range = ui_->cbLoadDateEQSL->isChecked();
  ui_->DateTimePicker5->setVisible(range);
  ui_->DateTimePicker4->setVisible(range);
}

void TfrmMain::ApplicationEvents1Message() {
  ui_->password->setEchoMode(ui_->CheckBox1->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void TfrmMain::TimerTimer() {
  if (!actions_.log_poll) return;
  RunGuarded(*this, [this] { actions_.log_poll(*this); });
}

void TfrmMain::FormCreate() {
  if (!actions_.start_up) return;
  RunGuarded(*this, [this] { actions_.start_up(*this); });
}

void TfrmMain::FormClose() {
  if (!actions_.closing) return;
  RunGuarded(*this, [this] { actions_.closing(*this); });
}
