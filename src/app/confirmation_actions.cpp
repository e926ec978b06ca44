#include "app/confirmation_actions.h"

#include "app/service_addresses.h"
#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "confirmations/report_download.h"
#include "confirmations/report_import.h"
#include "ui_tfrm_main.h"

namespace {

ConfirmationOptionsReader PageOptions(TfrmMain& form) {
  return [&form] {
    const Ui::TfrmMain& ui = form.Form();
    return ConfirmationOptions{ui.cbUpdateloc->isChecked(), ui.cbUpdatestate->isChecked(),
                               ui.cbUpdateIOTA->isChecked(), ui.cbCNTY->isChecked(),
                               ui.cmbCNTY->currentText()};
  };
}

QString SettingsFile(const Configuration& config) {
  return config.ProgramFolder + QStringLiteral("qorv.ini");
}

}  // namespace

ActionEnd QorvDownload(TfrmMain& form, const ActionContext& context) {
  const Configuration& config = context.configuration;
  Ui::TfrmMain& ui = form.Form();
  ReportDownload download;
  download.query = {config.EQorvUserName,       config.EQorvPassword,
                    ui.cbLoadDate->isChecked(), ui.DateTimePicker1->date(),
                    ui.DateTimePicker3->date(), ui.DateTimePicker->date(),
                    ui.edOwnCall->text()};
  download.service_address = [&config] {
    return RequireServiceAddress(config.Services.qorv, QStringLiteral("Qorv"),
                                 SettingsFile(config));
  };
  download.proxy_enable = config.ProxyEnable;
  download.proxy_host = config.ProxyHost;
  download.proxy_port = config.ProxyPort;
  download.install_path = config.InstallPath;
  download.program_folder = config.ProgramFolder;
  download.log_set = config.LogSet;
  download.start_utc = context.start_utc;
  const QslSincePicker picker = {[&ui] { return StoredDateTime(ui.DateTimePicker); },
                                 [&ui](const QDateTime& value) {
                                   ShowStoredDateTime(ui.DateTimePicker, value.date(),
                                                      value.time());
                                 }};
  return DownloadConfirmations(form, form.Database(), download, PageOptions(form), picker)
             ? ActionEnd::kCommonTail
             : ActionEnd::kStop;
}

void QorvAdifImport(TfrmMain& form) {
  const Configuration config = form.CurrentAction().configuration;
  if (!ImportSavedReport(form, form.Database(), config.LogSet, PageOptions(form),
                         config.ProgramFolder)) {
    return;
  }
  form.LocateAndNudgeLogbook();
}
