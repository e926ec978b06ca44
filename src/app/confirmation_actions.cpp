#include "app/confirmation_actions.h"

#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "confirmations/report_download.h"
#include "confirmations/report_import.h"
#include "session/download_settings.h"
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

}  // namespace

ActionEnd QorvDownload(TfrmMain& form, const ActionContext& context) {
  const Configuration& config = context.configuration;
  Ui::TfrmMain& ui = form.Form();
  const ReportDownload download =
      QorvReportDownload(config,
                         {config.EQorvUserName, config.EQorvPassword, ui.cbLoadDate->isChecked(),
                          ui.DateTimePicker1->date(), ui.DateTimePicker3->date(),
                          ui.DateTimePicker->date(), ui.edOwnCall->text()},
                         context.start_utc);
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
                         config.StateFolder)) {
    return;
  }
  form.LocateAndNudgeLogbook();
}
