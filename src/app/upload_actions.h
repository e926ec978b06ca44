#ifndef QORVSYNC_APP_UPLOAD_ACTIONS_H_
#define QORVSYNC_APP_UPLOAD_ACTIONS_H_

#include "app/main_actions.h"

class TfrmMain;

// The "Upload to Qorv" page: the upload of the unsent QSOs with the log and
// login of the click, the TQSL path and station location as typed on the
// page, the Qorv address from [Services] of "qorv.ini", and the Club Log step
// when "Upload with Qorv" is ticked.
ActionEnd UploadToQorv(TfrmMain& form, const ActionContext& context);

// edLocationDropDown: the list of the station location box becomes TQSL's
// station locations; the typed text stays.
void ListStationLocations(TfrmMain& form);

#endif  // QORVSYNC_APP_UPLOAD_ACTIONS_H_
