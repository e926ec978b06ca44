#ifndef QORVSYNC_APP_CLUBLOG_ACTIONS_H_
#define QORVSYNC_APP_CLUBLOG_ACTIONS_H_

#include <QString>

#include "upload/qorv_upload.h"

class TfrmMain;

// The Club Log uploads from the main window. The login is read from the
// "Clublog Settings" page at the moment of the upload, the address from
// [Services] of "qorv.ini" as read at start, and the reply goes to the program's reply window.

// btnADIFClick: the file picked in the open-file dialog goes to Club Log.
void ClublogLoadAdif(TfrmMain& form);

// The Club Log step of the upload (when "Upload with Qorv" is ticked): the
// export file goes to Club Log and is deleted after Club Log accepted it,
// unless "Save adi and tq8 files" is ticked or `keep_export` (the Qorv upload
// went wrong) holds. The upload ends here, without its common tail, when the
// export file could not be read (the standard error box said so).
ClublogStepEnd ClublogSubmitExport(TfrmMain& form, const QString& export_file, bool keep_export);

#endif  // QORVSYNC_APP_CLUBLOG_ACTIONS_H_
