#ifndef QORVSYNC_APP_TFRM_MAIN_H_
#define QORVSYNC_APP_TFRM_MAIN_H_

#include <QMainWindow>
#include <memory>

#include "app/dialogs.h"
#include "app/form_storage.h"
#include "app/logbook_session.h"
#include "app/main_actions.h"
#include "platform/operation_ui.h"
#include "session/configuration.h"

class QLabel;
class QTimer;

namespace Ui {
class TfrmMain;
}

// The program's one working window: four pages, the progress bar, the action
// button whose meaning follows the page, and the status bar. Its handlers are
// thin: each hands the work to a slot of MainActions inside the error guard.
// While an action runs, the four action buttons are disabled, so one action
// runs at a time; pages, options and the log poll stay live. Closing the
// window while an action runs abandons the action (nothing more of it is
// written or shown), then closes.
class TfrmMain : public QMainWindow, public OperationUi {
  Q_OBJECT

 public:
  // Runs FormCreate (the start-up slot) before returning.
  TfrmMain(MainActions actions, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The elements, for the code in app/ that reads the options into an action.
  Ui::TfrmMain& Form() { return *ui_; }
  Configuration& Config() { return config_; }
  const Configuration& Config() const { return config_; }
  FormStorage& Storage() { return form_storage_; }
  MainActions& Actions() { return actions_; }
  // The log database and the logbook's entry window, for the whole run.
  LogbookSession& Session() { return session_; }
  LogDatabase& Database() { return session_.Database(); }

  // What the running action started with (the last action's when none runs):
  // its start time and its copy of the configuration, which the log poll
  // leaves alone while it follows the logbook in Config().
  const ActionContext& CurrentAction() const { return current_action_; }

  // LocateLogSelector, then NudgeLogbook: the running logbook shows what the
  // action changed. The end of the action button's common tail, and of the
  // import of a saved report.
  void LocateAndNudgeLogbook();

  // The log poll: the timer "Timer", 300 ms, off until start-up switches it on.
  void StartLogPoll();
  bool LogPollActive() const;

  // True while an action of one of the four action buttons runs.
  bool ActionRunning() const { return action_running_; }

  // OperationUi.
  void SetCaption(const QString& caption) override;
  QString LogName() const override { return config_.LogName; }
  void SetProgress(int percent) override;
  void SetResult(ResultLabel label, const QString& text) override;
  void ProcessEvents() override;
  void ShowMessage(MessageKind kind, const QString& text,
                   const QString& caption = QString()) override;
  void ShowTextFile(const QString& path) override;
  bool ChooseAdifFile(QString* path) override;

  // Handlers, named after their element and event.
  void RzPageControl1Click();
  void FormShow();
  void btnQorvClick();
  void btnQorvAdifClick();
  void btnIgnoreClick();
  void btnADIFClick();
  void edLocationDropDown();
  void Image1Click();
  void Image2Click();
  void cbLoadDateClick();
  void cbLoadDateEQSLClick();
  void ApplicationEvents1Message();
  void TimerTimer();
  void FormCreate();
  void FormClose();

  void setVisible(bool visible) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class BusyScope;

  void PageDependentDisplay(bool from_click);
  void RunQorvAction();
  void SetActionButtonsEnabled(bool enabled);
  // Ends the running operation's calls into the window once its close was
  // requested.
  void ThrowIfAbandoned() const;
  // The close requested while the action ran, once the action has unwound.
  void CloseIfRequestedDuringAction();
  // The common end of the action button: caption back to the log name, then
  // the logbook shown the changes.
  void CommonTail();
  // Runs a secondary action button's slot with the buttons disabled.
  void RunAction(const MainActions::Handler& action);
  QLabel* ResultLabelOf(ResultLabel label) const;
  void OpenLoginPage(const QString& url);

  std::unique_ptr<Ui::TfrmMain> ui_;
  MainActions actions_;
  Dialogs& dialogs_;
  Configuration config_;
  LogbookSession session_;
  ActionContext current_action_;
  FormStorage form_storage_;
  QTimer* timer_;
  QLabel* version_panel_;
  QString open_dialog_file_name_;  // OpenDialog1 remembers its last file
  bool action_running_ = false;
  bool in_message_hook_ = false;
  bool restoring_ = false;
  bool closing_ = false;
  bool close_after_action_ = false;
};

#endif  // QORVSYNC_APP_TFRM_MAIN_H_
