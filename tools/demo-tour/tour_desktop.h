#ifndef QORVSYNC_TOOLS_DEMO_TOUR_TOUR_DESKTOP_H_
#define QORVSYNC_TOOLS_DEMO_TOUR_TOUR_DESKTOP_H_

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/dialogs.h"
#include "platform/shell.h"

// The tour's stand-ins for what a person at the desktop would do: message
// boxes are printed and closed at once, the open-file dialog takes the file
// the tour names, and text files and web pages are printed instead of opened.
class TourDialogs : public Dialogs {
 public:
  explicit TourDialogs(QTextStream& out) : out_(out) {}

  void ShowMessage(QWidget* parent, MessageKind kind, const QString& text,
                   const QString& caption) override;
  bool ChooseOpenFile(QWidget* parent, const QString& filter, const QString& default_suffix,
                      QString* path) override;

  // The file the next open-file dialog answers with.
  void AnswerNextFile(const QString& path) { next_file_ = path; }

 private:
  QTextStream& out_;
  QString next_file_;
};

// Programs start for real (TQSL above all); the browser and the text editor
// are printed.
class TourShell : public DesktopShell {
 public:
  explicit TourShell(QTextStream& out) : out_(out) {}

  void OpenUrl(const QString& url) override;
  void OpenTextFile(const QString& path) override;

 private:
  QTextStream& out_;
};

#endif  // QORVSYNC_TOOLS_DEMO_TOUR_TOUR_DESKTOP_H_
