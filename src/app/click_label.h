#ifndef QORVSYNC_APP_CLICK_LABEL_H_
#define QORVSYNC_APP_CLICK_LABEL_H_

#include <QLabel>

// A picture that reports a click of the left mouse button.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(QWidget* parent = nullptr);

 Q_SIGNALS:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

#endif  // QORVSYNC_APP_CLICK_LABEL_H_
