#ifndef QORVSYNC_CONFIRMATIONS_CONFIRMATION_OPTIONS_H_
#define QORVSYNC_CONFIRMATIONS_CONFIRMATION_OPTIONS_H_

#include <QString>
#include <functional>

// The copy options of the Qorv Download page, as they stand at one
// confirmation.
struct ConfirmationOptions {
  bool update_locator = false;                       // cbUpdateloc: GridSquare into Grid
  bool update_state = false;                         // cbUpdatestate: StateCode into State
  bool update_iota = false;                          // cbUpdateIOTA: Iota into IOTA
  bool update_county = false;                        // cbCNTY: County into the column below
  QString county_column = QStringLiteral("State4");  // cmbCNTY's text
};

// Read afresh at every confirmation, so that a box ticked during a run
// applies from the next confirmed QSO on.
using ConfirmationOptionsReader = std::function<ConfirmationOptions()>;

#endif  // QORVSYNC_CONFIRMATIONS_CONFIRMATION_OPTIONS_H_
