#ifndef QORVSYNC_UPLOAD_QORV_UPLOAD_H_
#define QORVSYNC_UPLOAD_QORV_UPLOAD_H_

#include <QString>
#include <functional>

#include "logdb/log_database.h"
#include "platform/operation_ui.h"
#include "upload/tqsl_signing.h"

// What the upload to Qorv starts with: the log and login of the click, and
// the two texts of the "Upload to Qorv" page as typed. Folders end with "/".
struct QorvUploadRequest {
  QString install_path;    // the export goes to its "Qorv Logs" folder
  QString program_folder;  // "Submode.txt" lies here
  QString log_table;
  QString login;
  QString password;
  QString tqsl_path;      // the TQSL to run, used as typed
  QString location;       // TQSL station location
  TqslRunMode tqsl_mode;  // the window's: a person at the screen
};

// What the upload asks its window while it runs. The boxes are read at the
// moment they matter, so a change during the run still counts.
struct QorvUploadHooks {
  // The Qorv service address; throws AppError naming the setting when unset.
  std::function<QString()> service;
  std::function<bool()> keep_files;  // "Save adi and tq8 files"
  std::function<bool()> clublog;     // "Upload with Qorv"
  // The Club Log step with the export file: false when the upload ends there
  // without its common tail. With `keep_export` the export file stays even
  // after Club Log took it (the Qorv upload went wrong).
  std::function<bool(const QString& export_file, bool keep_export)> submit_to_clublog;
};

// The upload of the QSOs not yet sent: checks, export into
// "Qorv Logs/Qorv_ADIF_<time>.adi", signing by TQSL, the upload of the signed
// file, the marking of the exported QSOs that the signed file holds after Qorv
// accepted it (a box names the QSOs TQSL left out), the removal of the files,
// and the Club Log step when ticked. True when the action goes
// on to its common tail; false when it stopped (a check, an export error, the
// program quitting during the signing, the Club Log step's own stop). Errors
// from files and the database are thrown as AppError. A stop before the
// signing and an error return the caption to the log name. A failed or
// refused upload is explained (ExplainFailure) by the failure's cause or
// Qorv's own words.
bool RunQorvUpload(OperationUi& ui, LogDatabase& database, const QorvUploadRequest& request,
                   const QorvUploadHooks& hooks);

#endif  // QORVSYNC_UPLOAD_QORV_UPLOAD_H_
