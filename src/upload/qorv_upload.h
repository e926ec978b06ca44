#ifndef QORVSYNC_UPLOAD_QORV_UPLOAD_H_
#define QORVSYNC_UPLOAD_QORV_UPLOAD_H_

#include <QString>
#include <functional>
#include <optional>

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

// How the Club Log step ended: whether the upload goes on to its common
// tail, and whether Club Log accepted the file.
struct ClublogStepEnd {
  bool common_tail = false;
  bool accepted = false;
};

// What the upload asks its window while it runs. The boxes are read at the
// moment they matter, so a change during the run still counts.
struct QorvUploadHooks {
  // The Qorv service address; throws AppError naming the setting when unset.
  std::function<QString()> service;
  std::function<bool()> keep_files;  // "Save adi and tq8 files"
  std::function<bool()> clublog;     // "Upload with Qorv"
  // The Club Log step with the export file. With `keep_export` the export
  // file stays even after Club Log took it (the Qorv upload went wrong).
  std::function<ClublogStepEnd(const QString& export_file, bool keep_export)> submit_to_clublog;
};

// How the upload ended, for its caller to show.
struct UploadOutcome {
  // The action goes on to its common tail; not after a stop (a check, an
  // export error, the program quitting during the signing, the Club Log
  // step's own stop).
  bool common_tail = false;
  bool nothing_new = false;  // no unsent QSO: nothing was exported
  bool accepted = false;     // Qorv accepted the signed file
  int qsos_sent = 0;         // the QSOs marked sent
  QString result;            // the page's result label as the upload left it
  // Club Log's answer, when the Club Log step ran.
  std::optional<ClublogStepEnd> clublog;
};

// The upload of the QSOs not yet sent: checks, export into
// "Qorv Logs/Qorv_ADIF_<time>.adi", signing by TQSL, the upload of the signed
// file, the marking of the exported QSOs that the signed file holds after Qorv
// accepted it (a box names the QSOs TQSL left out), the removal of the files,
// and the Club Log step when ticked. Errors from files and the database are
// thrown as AppError. A stop before the
// signing and an error return the caption to the log name. A failed or
// refused upload is explained (ExplainFailure) by the failure's cause or
// Qorv's own words.
UploadOutcome RunQorvUpload(OperationUi& ui, LogDatabase& database,
                            const QorvUploadRequest& request, const QorvUploadHooks& hooks);

#endif  // QORVSYNC_UPLOAD_QORV_UPLOAD_H_
