#ifndef QORVSYNC_APP_DROP_DOWN_COMBO_BOX_H_
#define QORVSYNC_APP_DROP_DOWN_COMBO_BOX_H_

#include <QComboBox>

// A combo box that announces its list before opening it, so that the list can
// be filled at that moment.
class DropDownComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit DropDownComboBox(QWidget* parent = nullptr);

  void showPopup() override;

 Q_SIGNALS:
  void DroppingDown();
};

#endif  // QORVSYNC_APP_DROP_DOWN_COMBO_BOX_H_
