#ifndef QORVSYNC_LOGBOOK_WINDOW_ENTRY_WINDOW_H_
#define QORVSYNC_LOGBOOK_WINDOW_ENTRY_WINDOW_H_

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QsoTableModel;
class WindowTreeServer;

// The logbook double's visible entry window: the log selector, the two
// entry fields as the window link last set them, and the current log's QSOs
// with their confirmation and upload flags.
class EntryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit EntryWindow(WindowTreeServer& server, QWidget* parent = nullptr);

 private:
  void ShowLog(const QString& name);
  void ShowReloads();

  WindowTreeServer& server_;
  QComboBox* selector_;
  QLineEdit* entry_fields_[2];
  QLabel* status_;
  QsoTableModel* model_;
};

#endif  // QORVSYNC_LOGBOOK_WINDOW_ENTRY_WINDOW_H_
