#ifndef QORVSYNC_APP_CONFIRMATION_ACTIONS_H_
#define QORVSYNC_APP_CONFIRMATION_ACTIONS_H_

#include "app/main_actions.h"

class TfrmMain;

// The Qorv confirmations from the main window: the page's dates, own call
// and copy options are read from its elements (the options at each
// confirmation), the log set, credentials and folders from the action's copy
// of the configuration, the service's address as start-up read it from [Services] of "qorv.ini".

// btnQorvClick on the "Qorv Download" page.
ActionEnd QorvDownload(TfrmMain& form, const ActionContext& context);

// btnQorvAdifClick: a saved report run over the log; the logbook is shown the
// changes when the run ended normally.
void QorvAdifImport(TfrmMain& form);

#endif  // QORVSYNC_APP_CONFIRMATION_ACTIONS_H_
