#include "app/start_up.h"

#include <QDateEdit>

#include "app/logbook_actions.h"
#include "app/logbook_registry_keys.h"
#include "app/logbook_session.h"
#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "net/http_client.h"
#include "platform/app_error.h"
#include "platform/conversions.h"
#include "platform/ini_file.h"
#include "platform/registry.h"
#include "ui_tfrm_main.h"

namespace {

// The stored date of the open key into a date box, its date and time of day
// as written, whatever the time zone. A number the box cannot show is refused
// rather than clamped to some other date.
void DecodeStoredDateInto(const Registry& registry, const QString& name, QDateEdit* box) {
  const QString text = registry.ReadString(name);
  const double value = DecodeStoredDate(text);
  const QDate date = DateTimeToDate(value);
  const QTime time = DateTimeToTime(value);
  if (!date.isValid() || !time.isValid() || date < box->minimumDate() ||
      date > box->maximumDate()) {
    throw AppError(FormatMessage(QStringLiteral("'%s' is not a valid date"), text));
  }
  ShowStoredDateTime(box, date, time);
}

void ReadProxy(const Registry& registry, Configuration& config) {
  config.ProxyEnable = registry.ReadInteger(QStringLiteral("ProxyEnable")) != 0;
  const QString server = registry.ReadString(QStringLiteral("ProxyServer"));
  if (!server.isEmpty()) SplitProxyServer(server, &config.ProxyHost, &config.ProxyPort);
}

void ReadStartDates(const Registry& registry, Ui::TfrmMain& ui) {
  DecodeStoredDateInto(registry, QStringLiteral("eQSLDate_Date"), ui.DateTimePicker2);
  DecodeStoredDateInto(registry, QStringLiteral("QorvDate_Date"), ui.DateTimePicker);
  const QString location = QStringLiteral("edtTQSLStationLocationName_Text");
  if (registry.ValueExists(location)) ui.edLocation->setCurrentText(registry.ReadString(location));
}

}  // namespace

void ReadServices(Configuration& config) {
  config.Services = ServiceAddresses::Read(config.ProgramFolder + QStringLiteral("qorv.ini"));
  HttpClient::SetDefaultCaFile(config.Services.ca_file);
}

void SplitProxyServer(const QString& value, QString* host, QString* port) {
  const qsizetype colon = value.indexOf(u':');
  *host = colon < 0 ? QString() : TrimControl(value.left(colon));
  *port = TrimControl(value.mid(colon + 1));
}

void StartUp(TfrmMain& form) {
  Configuration& config = form.Config();
  Ui::TfrmMain& ui = form.Form();
  LogbookSession& session = form.Session();
  ReadServices(config);

  Registry registry;
  if (registry.OpenKey(kLogbookKey, true)) {
    config.InstallPath = registry.ReadString(QStringLiteral("InstallPath"));
  }
  config.DatabasePath = config.InstallPath + QStringLiteral("db/logs.mdb");

  if (registry.OpenKey(kInternetSettingsKey, false)) ReadProxy(registry, config);
  registry.CloseKey();

  const QString tqsl_path = QStringLiteral("TrustedQSLPatch");
  if (registry.OpenKey(kEditNewQsoKey, true) && registry.ValueExists(tqsl_path)) {
    ui.edtTqsl->setText(registry.ReadString(tqsl_path));
  }
  registry.CloseKey();

  if (registry.OpenKey(kSendQsosKey, true)) ReadStartDates(registry, ui);
  registry.CloseKey();

  config.LogName = IniFile(config.InstallPath + QStringLiteral("Vodrix_Log3.ini"))
                       .ReadString(QStringLiteral("EditNewQso"), QStringLiteral("LogName"));
  form.SetCaption(config.LogName);

  session.Database().OpenLogDatabase(config.DatabasePath);
  LoadLogConfiguration(session.Database(), config);

  // The poll runs also when the logbook is not running yet: it follows a
  // logbook started later.
  form.StartLogPoll();
}
