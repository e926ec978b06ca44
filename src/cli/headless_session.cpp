#include "cli/headless_session.h"

#include "app/logbook_actions.h"
#include "app/logbook_registry_keys.h"
#include "app/start_up.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/ini_file.h"
#include "platform/registry.h"

namespace {

// The section the window keeps its element values in: its own name.
const QString kFormSection = QStringLiteral("TfrmMain");

// A stored date of the open key; today (as a fresh date box holds it) when
// the value is absent.
QDateTime StoredDate(const Registry& registry, const QString& name) {
  if (!registry.HasCurrentKey() || !registry.ValueExists(name)) {
    return QDateTime(ProgramClock().NowLocal().date(), QTime(0, 0));
  }
  const QString text = registry.ReadString(name);
  const double value = DecodeStoredDate(text);
  const QDate date = DateTimeToDate(value);
  const QTime time = DateTimeToTime(value);
  // Checked apart: a local time the clock skips (00:00 on a day the clocks go
  // forward at midnight) is no valid QDateTime, yet its day and time of day
  // are what the download asks from and stores again, as the date box keeps
  // them.
  if (!date.isValid() || !time.isValid()) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid date"), text));
  }
  return QDateTime(date, time);
}

class StoredElements {
 public:
  explicit StoredElements(const QString& path) : ini_(path) {}

  bool Checked(const QString& element, bool fallback) const {
    const QString value = Text(element + QStringLiteral("_Checked"), QString());
    if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    return fallback;
  }
  QString Text(const QString& key, const QString& fallback) const {
    return TrimControl(ini_.ReadString(kFormSection, key, fallback));
  }

 private:
  IniFile ini_;
};

}  // namespace

HeadlessSession::HeadlessSession(const ProgramFiles& files, const QString& log_name,
                                 bool open_logbook) {
  config_.ProgramFolder = files.SettingsFolder();
  config_.StateFolder = files.StateFolder();
  ReadServices(config_);

  Registry registry;
  if (registry.OpenKey(kLogbookKey, true)) {
    config_.InstallPath = registry.ReadString(QStringLiteral("InstallPath"));
  }
  config_.DatabasePath = config_.InstallPath + QStringLiteral("db/logs.mdb");
  if (registry.OpenKey(kInternetSettingsKey, false)) {
    config_.ProxyEnable = registry.ReadInteger(QStringLiteral("ProxyEnable")) != 0;
    const QString server = registry.ReadString(QStringLiteral("ProxyServer"));
    if (!server.isEmpty()) SplitProxyServer(server, &config_.ProxyHost, &config_.ProxyPort);
  }
  registry.CloseKey();
  if (registry.OpenKey(kEditNewQsoKey, true)) {
    options_.tqsl_path = registry.ReadString(QStringLiteral("TrustedQSLPatch"));
  }
  registry.CloseKey();
  registry.OpenKey(kSendQsosKey, true);
  options_.eqsl_since = StoredDate(registry, QStringLiteral("eQSLDate_Date"));
  options_.qorv_since = StoredDate(registry, QStringLiteral("QorvDate_Date"));
  const QString registry_location =
      registry.HasCurrentKey()
          ? registry.ReadString(QStringLiteral("edtTQSLStationLocationName_Text"))
          : QString();
  registry.CloseKey();

  const StoredElements stored(config_.ProgramFolder + QStringLiteral("qorv.ini"));
  options_.confirmation.update_locator = stored.Checked(QStringLiteral("cbUpdateloc"), false);
  options_.confirmation.update_state = stored.Checked(QStringLiteral("cbUpdatestate"), false);
  options_.confirmation.update_iota = stored.Checked(QStringLiteral("cbUpdateIOTA"), false);
  options_.confirmation.update_county = stored.Checked(QStringLiteral("cbCNTY"), false);
  options_.confirmation.county_column =
      stored.Text(QStringLiteral("cmbCNTY_Text"), options_.confirmation.county_column);
  options_.location = stored.Text(QStringLiteral("edLocation_Text"), registry_location);
  options_.keep_files = stored.Checked(QStringLiteral("cbKeep"), false);
  options_.clublog = stored.Checked(QStringLiteral("cbClublog"), false);
  options_.clublog_email = stored.Text(QStringLiteral("clublogemail_Text"), QString());
  options_.clublog_password = stored.Text(QStringLiteral("password_Text"), QString());
  options_.clublog_callsign = stored.Text(QStringLiteral("callsign_Text"), QString());
  if (!open_logbook) return;

  config_.LogName = log_name.isEmpty()
                        ? IniFile(config_.InstallPath + QStringLiteral("Vodrix_Log3.ini"))
                              .ReadString(QStringLiteral("EditNewQso"), QStringLiteral("LogName"))
                        : log_name;
  database_.OpenLogDatabase(config_.DatabasePath);
  LoadLogConfiguration(database_, config_);
}
