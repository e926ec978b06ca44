#include "app/drop_down_combo_box.h"

DropDownComboBox::DropDownComboBox(QWidget* parent) : QComboBox(parent) {}

void DropDownComboBox::showPopup() {
  Q_EMIT DroppingDown();
  QComboBox::showPopup();
}
