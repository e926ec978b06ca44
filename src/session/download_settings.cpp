#include "session/download_settings.h"

#include "session/service_addresses.h"

ReportDownload QorvReportDownload(const Configuration& config, const ReportQuery& query,
                                  const QDateTime& start_utc) {
  ReportDownload download;
  download.query = query;
  download.service_address = [&config] { return QorvServiceAddress(config); };
  download.proxy_enable = config.ProxyEnable;
  download.proxy_host = config.ProxyHost;
  download.proxy_port = config.ProxyPort;
  download.install_path = config.InstallPath;
  download.program_folder = config.StateFolder;
  download.log_set = config.LogSet;
  download.start_utc = start_utc;
  return download;
}

EqslDownloadSettings EqslSettings(const Configuration& config, const QDateTime& start_utc) {
  EqslDownloadSettings settings;
  settings.service = RequireServiceAddress(config.Services.eqsl, QStringLiteral("eQSL"),
                                           ProgramSettingsFile(config));
  settings.user_name = config.EQSLUserName;
  settings.password = config.EQSLPassword;
  settings.install_path = config.InstallPath;
  settings.program_folder = config.ProgramFolder;
  settings.state_folder = config.StateFolder;
  settings.log_set = config.LogSet;
  settings.proxy_enable = config.ProxyEnable;
  settings.proxy_host = config.ProxyHost;
  settings.proxy_port = config.ProxyPort;
  settings.start_utc = start_utc;
  return settings;
}
