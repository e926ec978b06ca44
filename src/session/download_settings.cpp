#include "session/download_settings.h"

#include "session/service_addresses.h"

namespace {

// What both downloads take alike: the logbook's folder and log set, the
// proxy, and the moment of the press.
template <typename Settings>
void TakeCommon(const Configuration& config, const QDateTime& start_utc, Settings& settings) {
  settings.proxy_enable = config.ProxyEnable;
  settings.proxy_host = config.ProxyHost;
  settings.proxy_port = config.ProxyPort;
  settings.install_path = config.InstallPath;
  settings.log_set = config.LogSet;
  settings.start_utc = start_utc;
}

}  // namespace

ReportDownload QorvReportDownload(const Configuration& config, const ReportQuery& query,
                                  const QDateTime& start_utc) {
  ReportDownload download;
  download.query = query;
  download.service_address = [&config] { return QorvServiceAddress(config); };
  download.program_folder = config.StateFolder;
  TakeCommon(config, start_utc, download);
  return download;
}

EqslDownloadSettings EqslSettings(const Configuration& config, const QDateTime& start_utc) {
  EqslDownloadSettings settings;
  settings.service = RequireServiceAddress(config.Services.eqsl, QStringLiteral("eQSL"),
                                           ProgramSettingsFile(config));
  settings.user_name = config.EQSLUserName;
  settings.password = config.EQSLPassword;
  settings.program_folder = config.ProgramFolder;
  settings.state_folder = config.StateFolder;
  TakeCommon(config, start_utc, settings);
  return settings;
}
