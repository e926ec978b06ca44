#ifndef QORVSYNC_PLATFORM_WINDOW_LINK_H_
#define QORVSYNC_PLATFORM_WINDOW_LINK_H_

#include <QDeadlineTimer>
#include <QString>
#include <QtGlobal>
#include <memory>

#include "platform/window_link_protocol.h"

class QLocalSocket;

using WindowHandle = window_link::WindowHandle;

// The window functions this program uses on another program's windows.
// Nothing here reports a failure: a window that is not found is 0, and a
// handle of 0 is no window, so nothing is sent to it and the result is 0 or
// an empty text.
class WindowLink {
 public:
  virtual ~WindowLink() = default;

  // The first top-level window of that class.
  virtual WindowHandle FindWindow(const QString& class_name) = 0;
  // The next child of `parent` of that class after `after` (0: from the first).
  virtual WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                                 const QString& class_name) = 0;
  virtual qint64 GetCtrlId(WindowHandle window) = 0;
  // The window's text, at most room - 1 characters (the room counts the
  // terminating zero of the original interface).
  virtual QString GetText(WindowHandle window, int room) = 0;
  virtual qint64 SetText(WindowHandle window, const QString& text) = 0;
  virtual qint64 Send(WindowHandle window, quint32 message, quintptr wparam, qint64 lparam) = 0;
};

// The window link over the logbook's Unix-domain socket. Each call is one
// request line and one reply line on a connection that is kept open and
// reused, so the 300 ms log poll costs no connect; a dropped connection is
// opened again on the next call. No socket, or no complete reply within the
// time-out, counts as "not found". After a time-out the link backs off: for
// `backoff_ms` every call is "not found" at once, so a logbook that does not
// answer costs the window one time-out in that span, not one per call.
class SocketWindowLink : public WindowLink {
 public:
  // ${XDG_RUNTIME_DIR:-/tmp}/Vodrix_Log3.windows
  static QString DefaultSocketPath();

  explicit SocketWindowLink(QString socket_path = DefaultSocketPath(), int timeout_ms = 2000,
                            int backoff_ms = 10000);
  ~SocketWindowLink() override;

  WindowHandle FindWindow(const QString& class_name) override;
  WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                         const QString& class_name) override;
  qint64 GetCtrlId(WindowHandle window) override;
  QString GetText(WindowHandle window, int room) override;
  qint64 SetText(WindowHandle window, const QString& text) override;
  qint64 Send(WindowHandle window, quint32 message, quintptr wparam, qint64 lparam) override;

 private:
  // The reply's fields, or an empty list when there was no answer.
  QStringList Exchange(const QStringList& request);
  enum class Outcome { kReply, kNoAnswer, kDroppedBeforeReply };
  Outcome TryExchange(const QByteArray& line, int timeout_ms, QStringList* reply);
  bool Connect(int timeout_ms);
  void Drop();
  qint64 NumberReply(const QStringList& request);

  QString socket_path_;
  int timeout_ms_;
  int backoff_ms_;
  QDeadlineTimer quiet_until_;
  std::unique_ptr<QLocalSocket> socket_;
};

#endif  // QORVSYNC_PLATFORM_WINDOW_LINK_H_
