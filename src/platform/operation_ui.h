#ifndef QORVSYNC_PLATFORM_OPERATION_UI_H_
#define QORVSYNC_PLATFORM_OPERATION_UI_H_

#include <QString>

// The result label of each working page.
enum class ResultLabel { kQorvDownload, kEqslDownload, kUpload };

// Message boxes with one OK button; a plain box has no icon and the
// program's name as its caption.
enum class MessageKind { kPlain, kInformation, kWarning, kError };

// What an operation needs from the window. TfrmMain implements it; tests use
// a recording double. Operations never touch widgets directly.
class OperationUi {
 public:
  virtual ~OperationUi() = default;

  // The window caption: a busy text while an action runs, else the log name.
  virtual void SetCaption(const QString& caption) = 0;
  virtual QString LogName() const = 0;

  // Progress bar position, 0 to 100.
  virtual void SetProgress(int percent) = 0;

  // A page's result label, shown in red.
  virtual void SetResult(ResultLabel label, const QString& text) = 0;

  // Lets pending window events run (repaint, the log poll, clicks).
  virtual void ProcessEvents() = 0;

  // A message box with one OK button; returns when the user has closed it.
  virtual void ShowMessage(MessageKind kind, const QString& text,
                           const QString& caption = QString()) = 0;

  // Why the failure or refusal just reported happened, where the window's
  // specified texts do not say it: the cause and the service's own words. A
  // front end without boxes reports it; the window has shown what it shows.
  virtual void ExplainFailure(const QString& /*explanation*/) {}

  // Opens a text file in the desktop's text editor, without waiting.
  virtual void ShowTextFile(const QString& path) = 0;

  // The shared open-file dialog ("adi|*.adi"). Returns false when the user
  // cancels; `path` then holds the dialog's current file name.
  virtual bool ChooseAdifFile(QString* path) = 0;

  // Told by a confirmation run before its first record how many records
  // (lines holding a CALL field) it will match. The window's progress bar
  // says enough; the command line names the step.
  virtual void BeginMatching(qsizetype /*records*/) {}
};

#endif  // QORVSYNC_PLATFORM_OPERATION_UI_H_
