#ifndef QORVSYNC_SESSION_UPLOAD_SETTINGS_H_
#define QORVSYNC_SESSION_UPLOAD_SETTINGS_H_

#include <QString>
#include <functional>

#include "session/configuration.h"
#include "upload/qorv_upload.h"

// What the window and the command line both hand the Qorv upload: the
// logbook's folders, current log and login from the configuration, with the
// TQSL to run, its station location and how it runs as each road has them.
QorvUploadRequest QorvUploadRequestFor(const Configuration& config, const QString& tqsl_path,
                                       const QString& location, TqslRunMode tqsl_mode);

// The upload's hooks: the Qorv address from the configuration (an unset one
// is refused naming the settings file), and each road's answers to "keep the
// files", "Club Log too" and its Club Log step. `config` must outlive the
// hooks (the address is read on demand).
QorvUploadHooks QorvUploadHooksFor(
    const Configuration& config, std::function<bool()> keep_files, std::function<bool()> clublog,
    std::function<ClublogStepEnd(const QString& export_file, bool keep_export)> submit_to_clublog);

#endif  // QORVSYNC_SESSION_UPLOAD_SETTINGS_H_
