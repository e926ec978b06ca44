#ifndef QORVSYNC_APP_DIALOGS_H_
#define QORVSYNC_APP_DIALOGS_H_

#include <QString>

#include "platform/operation_ui.h"

class QWidget;

// The modal dialogs of the program: message boxes with one OK button and the
// file-open dialog. The program uses the real ones; tests put a double in
// their place that answers at once.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual void ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
                           const QString& caption) = 0;

  // `filter` in the dialog's own form ("adi (*.adi)"); `path` comes in as the
  // dialog's file name and goes out as the chosen one. False when cancelled.
  virtual bool ChooseOpenFile(QWidget* parent, const QString& filter, const QString& default_suffix,
                              QString* path) = 0;
};

// QMessageBox and QFileDialog.
class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
                   const QString& caption) override;
  bool ChooseOpenFile(QWidget* parent, const QString& filter, const QString& default_suffix,
                      QString* path) override;
};

// The caption of a box when the caller gives none.
QString DefaultCaption(MessageKind kind);

#endif  // QORVSYNC_APP_DIALOGS_H_
