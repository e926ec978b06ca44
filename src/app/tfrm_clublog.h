#ifndef QORVSYNC_APP_TFRM_CLUBLOG_H_
#define QORVSYNC_APP_TFRM_CLUBLOG_H_

#include <QStringList>
#include <QWidget>
#include <memory>

#include "clublog/clublog_upload.h"

class QPlainTextEdit;

namespace Ui {
class TfrmClublog;
}

// The small window that shows Club Log's reply to the last uploads. The
// program makes one at start, hidden, and keeps it to the end: closing it
// only hides it, so its text stays for the next upload. It never keeps the
// program alive once the main window has closed.
class TfrmClublog : public QWidget, public ClublogReplyView {
  Q_OBJECT

 public:
  explicit TfrmClublog(QWidget* parent = nullptr);
  ~TfrmClublog() override;

  // The program's reply window: the first one made and still alive, else
  // nullptr.
  static TfrmClublog* Program();

  QPlainTextEdit* Memo1() const;

  // Memo1 holds exactly `text` afterwards.
  void ReplaceText(const QString& text) override;
  // The lines go below what Memo1 already holds.
  void AddLines(const QStringList& lines) override;
  // Shows the window without waiting.
  void Show() override;

  // Runs each time the window turns from hidden to shown: it goes to the
  // bottom-right corner of the primary screen's work area, frame included.
  void FormShow();

  void setVisible(bool visible) override;

 private:
  std::unique_ptr<Ui::TfrmClublog> ui_;
};

#endif  // QORVSYNC_APP_TFRM_CLUBLOG_H_
