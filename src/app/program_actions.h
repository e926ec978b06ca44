#ifndef QORVSYNC_APP_PROGRAM_ACTIONS_H_
#define QORVSYNC_APP_PROGRAM_ACTIONS_H_

#include "app/main_actions.h"

// The work the program's main window does: start-up, the log poll, the
// actions of its buttons and the closing steps.
MainActions ProgramActions();

#endif  // QORVSYNC_APP_PROGRAM_ACTIONS_H_
