#ifndef QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_SERVER_H_
#define QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_SERVER_H_

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "window/logbook_files.h"
#include "window/window_tree.h"

class QFile;
class QLocalServer;
class QLocalSocket;

// The running logbook without its widgets: the current log and its QSOs
// from the installation folder, and the entry window's tree served on the
// window-link socket. Requests are answered in the thread that owns the
// server, as the original window messages are handled by the window's
// thread: the executable runs it on the GUI thread, tests on a thread of
// their own (LogbookThread) so that a blocking client can talk to it.
//
// What the windows do: GET_TEXT of the selector reads the current log's
// name; SET_TEXT sets a window's text (the entry fields among them); the
// selection-change command (WM_COMMAND, high word 1) sent to the entry
// window with the selector as its control reloads the QSO list (a "nudge").
// Clicks are recorded and change nothing. Test requests (not part of the
// original interface): X_SELECT_LOG, X_STATE, X_MESSAGES (see README.md).
class WindowTreeServer : public QObject {
  Q_OBJECT

 public:
  struct Options {
    QString install_dir;       // holds "Vodrix_Log3.ini" and "db/logs.mdb"
    QString socket_path;       // empty: the window link's default path
    QString message_log_path;  // each message appended as a line; empty: none
    EntryWindowLayout layout;
  };

  // Opens the database and reads the current log; errors throw AppError.
  explicit WindowTreeServer(Options options, QObject* parent = nullptr);
  ~WindowTreeServer() override;

  // Serves the socket. A socket file left by a dead process is replaced;
  // one that a running logbook answers on is an AppError.
  void Listen();
  const QString& SocketPath() const { return options_.socket_path; }

  const WindowTree& Tree() const { return tree_; }
  QStringList LogNames() const { return log_names_; }
  QString CurrentLog() const;
  const std::vector<QsoRow>& Qsos() const { return qsos_; }
  int Reloads() const { return reloads_; }
  int Connections() const { return connections_; }  // accepted so far
  QString EntryText(int top_panel) const;           // 1 or 2
  // Every message received (GET_TEXT, SET_TEXT, SEND), e.g. "SEND selector 513 0 0".
  const QStringList& Messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }

  // The user picks a log in the selector: it shows the log, the QSO list is
  // reloaded and the ini file remembers it. False for an unknown log.
  bool SelectLog(const QString& name);

  // One request line, its reply line (both without LF).
  QStringList Answer(const QStringList& request);

 Q_SIGNALS:
  void LogChanged(const QString& name);
  void QsosReloaded();
  void EntryTextChanged(int top_panel, const QString& text);

 private:
  void OnNewConnection();
  void OnReadyRead(QLocalSocket* socket);
  QStringList AnswerMessage(const QStringList& request);
  void Record(const QString& message);
  void Reload();
  QStringList State() const;

  Options options_;
  LogbookDatabase database_;
  WindowTree tree_;
  QStringList log_names_;
  std::vector<QsoRow> qsos_;
  int reloads_ = 0;
  int connections_ = 0;
  QStringList messages_;
  std::unique_ptr<QFile> message_log_;
  QLocalServer* server_ = nullptr;
};

#endif  // QORVSYNC_LOGBOOK_WINDOW_WINDOW_TREE_SERVER_H_
