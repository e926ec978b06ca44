#ifndef QORVSYNC_TESTS_E2E_X_DISPLAY_H_
#define QORVSYNC_TESTS_E2E_X_DISPLAY_H_

#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// A private X server (Xvfb on a free display number) and the ways the tests
// act on its windows: xdotool for the mouse, the keyboard and window look-ups,
// and a window-manager-like close request (WM_DELETE_WINDOW) that xdotool
// lacks.
class XDisplay {
 public:
  XDisplay();
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  // ":N", empty when the server did not start.
  const QString& Name() const { return name_; }

  // Visible windows of a process, in stacking order of creation.
  QStringList WindowsOf(qint64 pid) const;
  QString WindowName(const QString& window) const;
  // The window's client area: top-left corner on the screen.
  QPoint WindowPosition(const QString& window) const;

  // A left click at `point` of the window's client area.
  void Click(const QString& window, QPoint point) const;
  // Focuses the window, then keys (xdotool key names) or text go to it.
  void Key(const QString& window, const QString& keys) const;
  void Type(const QString& window, const QString& text) const;
  // Asks the window to close, as a window manager's close button does.
  bool RequestClose(const QString& window) const;

  // Runs xdotool on this display; its standard output, trimmed.
  QString XDoTool(const QStringList& args, bool* ok = nullptr) const;

 private:
  std::unique_ptr<QProcess> server_;
  QString name_;
};

#endif  // QORVSYNC_TESTS_E2E_X_DISPLAY_H_
