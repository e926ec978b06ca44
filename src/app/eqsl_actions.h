#ifndef QORVSYNC_APP_EQSL_ACTIONS_H_
#define QORVSYNC_APP_EQSL_ACTIONS_H_

#include "app/main_actions.h"

class TfrmMain;

// The eQSL download of the action button, on the "eQSLcc Download" page: the
// credentials and log set the click started with, the address from [Services]
// of "qorv.ini", the page's date controls as they stood at the press; the date
// the run moved is stored and shown in its box.
ActionEnd EqslDownload(TfrmMain& form, const ActionContext& context);

// btnIgnoreClick: "ignore.txt" beside the program, created empty when
// missing, opened in the text editor.
void EqslIgnoreList(TfrmMain& form);

#endif  // QORVSYNC_APP_EQSL_ACTIONS_H_
