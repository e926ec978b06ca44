#ifndef QORVSYNC_CLI_CONSOLE_UI_H_
#define QORVSYNC_CLI_CONSOLE_UI_H_

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "clublog/clublog_upload.h"
#include "platform/operation_ui.h"

// The operations' window as a command line sees it: each step of the work
// (a busy caption, a confirmation run) is a line on standard error naming
// it; on a terminal the step's progress is a bar after its name, cleared
// before anything else is written. What the window would show in a message
// box is a line on standard error, and what the window would open in the
// editor or show in its labels is kept for the outcome. There is no one to
// answer an open-file dialog: it is cancelled.
class ConsoleUi : public OperationUi, public ClublogReplyView {
 public:
  struct Message {
    MessageKind kind;
    QString text;
  };

  // `err` is where progress and messages go; `terminal` chooses the bar.
  // `waiting_step` names the step the window shows as "Waiting...", which
  // is a different one in each command ("downloading report").
  ConsoleUi(std::FILE* err, bool terminal, QString log_name, QString waiting_step);

  void SetCaption(const QString& caption) override;
  QString LogName() const override { return log_name_; }
  void SetProgress(int percent) override;
  void SetResult(ResultLabel label, const QString& text) override;
  void ProcessEvents() override {}
  void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override;
  // For the operations and Club Log alike: one more error line.
  void ExplainFailure(const QString& explanation) override;
  void ShowTextFile(const QString& path) override;
  bool ChooseAdifFile(QString* path) override;
  void BeginMatching(qsizetype records) override;

  // Club Log's reply, written to standard error as it comes.
  void ReplaceText(const QString& text) override;
  void AddLines(const QStringList& lines) override;
  void Show() override {}

  // Clears a bar, so that what follows starts on a line of its own.
  void EndProgress();

  const QList<Message>& Messages() const { return messages_; }
  bool HasFailureMessage() const;
  const QStringList& TextFiles() const { return text_files_; }

 private:
  void Line(const QString& text);
  void BeginStep(const QString& name);
  void DrawBar();

  std::FILE* err_;
  bool terminal_;
  QString log_name_;
  QString waiting_step_;
  QString caption_;
  QString step_;  // empty between steps
  int percent_ = -1;
  bool bar_open_ = false;
  QList<Message> messages_;
  QStringList text_files_;
};

#endif  // QORVSYNC_CLI_CONSOLE_UI_H_
