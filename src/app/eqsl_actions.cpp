#include "app/eqsl_actions.h"

#include <QDateEdit>

#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "eqsl/ignore_list.h"
#include "eqsl/inbox_download.h"
#include "logdb/log_database.h"
#include "session/download_settings.h"
#include "session/since_dates.h"
#include "ui_tfrm_main.h"

namespace {

EqslDates PageDates(const Ui::TfrmMain& ui) {
  return {ui.cbLoadDateEQSL->isChecked(), ui.DateTimePicker5->date(), ui.DateTimePicker4->date(),
          StoredDateTime(ui.DateTimePicker2)};
}

}  // namespace

ActionEnd EqslDownload(TfrmMain& form, const ActionContext& context) {
  const Configuration& config = context.configuration;
  const EqslDownloadSettings settings = EqslSettings(config, context.start_utc);

  Ui::TfrmMain& ui = form.Form();
  const auto open_database = [&form]() -> LogDatabase& { return form.Database(); };
  const ConfirmationOutcome outcome =
      DownloadEqslInbox(settings, PageDates(ui), open_database, form);
  if (outcome.since) {
    SaveSinceDate(SinceDate::kEqsl, *outcome.since);
    ShowStoredDateTime(ui.DateTimePicker2, outcome.since->date(), outcome.since->time());
  }
  return outcome.common_tail ? ActionEnd::kCommonTail : ActionEnd::kStop;
}

void EqslIgnoreList(TfrmMain& form) { OpenIgnoreList(form.Config().ProgramFolder, form); }
