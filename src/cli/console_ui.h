#ifndef QORVSYNC_CLI_CONSOLE_UI_H_
#define QORVSYNC_CLI_CONSOLE_UI_H_

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "clublog/clublog_upload.h"
#include "platform/operation_ui.h"

// Confirmations found in one log table during a run.
struct TableTally {
  int confirmed = 0;
  int already_confirmed = 0;
};

// The operations' window as a command line sees it: progress goes to
// standard error (a bar on a terminal, a line per step otherwise), what the
// window would show in a message box is a line on standard error, and what
// the window would open in the editor or show in its labels is kept for the
// outcome. The open-file dialog is answered with the file the command names.
class ConsoleUi : public OperationUi, public ClublogReplyView {
 public:
  struct Message {
    MessageKind kind;
    QString text;
  };

  // `err` is where progress and messages go; `terminal` chooses the bar.
  ConsoleUi(std::FILE* err, bool terminal, QString log_name);

  // The answer of the next open-file dialog; none means "cancelled".
  void SetChosenFile(const QString& path) { chosen_file_ = path; }

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
  void NoteMatch(MatchOutcome outcome, const QString& table) override;

  // Club Log's reply, written to standard error as it comes.
  void ReplaceText(const QString& text) override;
  void AddLines(const QStringList& lines) override;
  void Show() override {}

  // Ends a bar's line, so that what follows starts on its own.
  void EndProgress();

  const QList<Message>& Messages() const { return messages_; }
  bool HasFailureMessage() const;
  bool HasMessage(const QString& text) const;
  const QStringList& TextFiles() const { return text_files_; }
  QString Result(ResultLabel label) const { return results_.value(label); }
  const QMap<QString, TableTally>& Tallies() const { return tallies_; }
  int Unmatched() const { return unmatched_; }
  const QStringList& ClublogReply() const { return clublog_reply_; }

 private:
  void Line(const QString& text);

  std::FILE* err_;
  bool terminal_;
  QString log_name_;
  QString caption_;
  int percent_ = -1;
  bool bar_open_ = false;
  QString chosen_file_;
  QList<Message> messages_;
  QStringList text_files_;
  QMap<ResultLabel, QString> results_;
  QMap<QString, TableTally> tallies_;
  int unmatched_ = 0;
  QStringList clublog_reply_;
};

#endif  // QORVSYNC_CLI_CONSOLE_UI_H_
