#ifndef QORVSYNC_APP_ERROR_BOX_H_
#define QORVSYNC_APP_ERROR_BOX_H_

#include <QString>
#include <functional>

#include "platform/operation_ui.h"

// The standard error box: the error's message in a box with one OK button.
void ShowErrorBox(OperationUi& ui, const QString& message);

// Runs a handler's body; any error escaping it is shown in the standard error
// box, so that no exception crosses the event loop; an operation abandoned by
// closing the program ends silently. True when the body ended without an
// error.
bool RunGuarded(OperationUi& ui, const std::function<void()>& body);

#endif  // QORVSYNC_APP_ERROR_BOX_H_
