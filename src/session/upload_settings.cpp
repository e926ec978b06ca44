#include "session/upload_settings.h"

#include <utility>

QorvUploadRequest QorvUploadRequestFor(const Configuration& config, const QString& tqsl_path,
                                       const QString& location, TqslRunMode tqsl_mode) {
  return {config.InstallPath,
          config.ProgramFolder,
          config.LogFileName,
          config.EQorvUserName,
          config.EQorvPassword,
          tqsl_path,
          location,
          tqsl_mode};
}

QorvUploadHooks QorvUploadHooksFor(
    const Configuration& config, std::function<bool()> keep_files, std::function<bool()> clublog,
    std::function<ClublogStepEnd(const QString& export_file, bool keep_export)> submit_to_clublog) {
  return {[&config] { return QorvServiceAddress(config); }, std::move(keep_files),
          std::move(clublog), std::move(submit_to_clublog)};
}
