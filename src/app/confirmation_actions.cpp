#include "app/confirmation_actions.h"

#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "confirmations/report_download.h"
#include "confirmations/report_import.h"
#include "session/download_settings.h"
#include "session/since_dates.h"
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
  ReportDownload download =
      QorvReportDownload(config,
                         {config.EQorvUserName, config.EQorvPassword, ui.cbLoadDate->isChecked(),
                          ui.DateTimePicker1->date(), ui.DateTimePicker3->date(),
                          ui.DateTimePicker->date(), ui.edOwnCall->text()},
                         context.start_utc);
  download.since_time = StoredDateTime(ui.DateTimePicker).time();
  const ConfirmationOutcome outcome =
      DownloadConfirmations(form, form.Database(), download, PageOptions(form));
  if (outcome.since) {
    SaveSinceDate(SinceDate::kQorv, *outcome.since);
    ShowStoredDateTime(ui.DateTimePicker, outcome.since->date(), outcome.since->time());
  }
  return outcome.common_tail ? ActionEnd::kCommonTail : ActionEnd::kStop;
}

void QorvAdifImport(TfrmMain& form) {
  const Configuration config = form.CurrentAction().configuration;
  if (!ImportSavedReport(form, form.Database(), config.LogSet, PageOptions(form),
                         config.StateFolder)
           .common_tail) {
    return;
  }
  form.LocateAndNudgeLogbook();
}
