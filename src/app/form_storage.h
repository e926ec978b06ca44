#ifndef QORVSYNC_APP_FORM_STORAGE_H_
#define QORVSYNC_APP_FORM_STORAGE_H_

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/operation_ui.h"

class QWidget;

// The screen a placement is saved on and restored to.
struct ScreenMetrics {
  QSize size;
  int pixels_per_inch = 96;
};

// Keeps a window's placement and a list of its element values in an ini file
// from one run to the next: one section named after the window, the
// placement keys, then one key per stored property ("cbKeep.Checked" is kept
// under "cbKeep_Checked"). Properties: "Checked" of a check box, "Text" of a
// text or combo box, "ActivePage" of a page control (the page's name).
class FormStorage {
 public:
  FormStorage(QWidget& form, QStringList stored_props, OperationUi& ui);

  void SetIniFileName(const QString& path) { ini_file_name_ = path; }
  const QString& IniFileName() const { return ini_file_name_; }

  // The screen's size and pixels per inch; the window's screen by default.
  void SetScreenMetrics(std::function<ScreenMetrics()> metrics) {
    screen_metrics_ = std::move(metrics);
  }
  // The available areas of all screens, where a restored window must lie;
  // the desktop's screens by default.
  void SetAvailableAreas(std::function<QList<QRect>()> areas) {
    available_areas_ = std::move(areas);
  }

  // Before the window is shown: placement, then element values. A failure in
  // the placement is shown in the error box; a bad element value is skipped.
  void Restore();
  // When a close has been granted ("Visible" 0); nothing before a restore.
  void SaveAtClose();
  // While the window is destroyed without an earlier save ("Visible" 1).
  void SaveOnDestroy();

  bool Restored() const { return restored_; }
  bool Saved() const { return saved_; }

 private:
  void RestorePlacement();
  void RestoreProperty(const QString& prop);
  void Save(bool visible);
  QString ReadProperty(const QString& prop) const;
  QString Section() const;
  ScreenMetrics Screen() const;
  QList<QRect> AvailableAreas() const;

  QWidget& form_;
  QStringList stored_props_;
  OperationUi& ui_;
  QString ini_file_name_;
  std::function<ScreenMetrics()> screen_metrics_;
  std::function<QList<QRect>()> available_areas_;
  bool restored_ = false;
  bool saved_ = false;
};

#endif  // QORVSYNC_APP_FORM_STORAGE_H_
