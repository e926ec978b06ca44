#include "app/eqsl_actions.h"

#include <QDateEdit>

#include "app/stored_date_box.h"
#include "app/tfrm_main.h"
#include "eqsl/ignore_list.h"
#include "eqsl/inbox_download.h"
#include "logdb/log_database.h"
#include "session/download_settings.h"
#include "ui_tfrm_main.h"

namespace {

class FormEqslPage : public EqslDatePage {
 public:
  explicit FormEqslPage(Ui::TfrmMain& ui) : ui_(ui) {}

  bool LoadFromDate() const override { return ui_.cbLoadDateEQSL->isChecked(); }
  QDate RangeStart() const override { return ui_.DateTimePicker5->date(); }
  QDate RangeEnd() const override { return ui_.DateTimePicker4->date(); }
  QDateTime ReceivedSince() const override { return StoredDateTime(ui_.DateTimePicker2); }
  void SetReceivedSince(const QDateTime& value) override {
    ShowStoredDateTime(ui_.DateTimePicker2, value.date(), value.time());
  }

 private:
  Ui::TfrmMain& ui_;
};

}  // namespace

ActionEnd EqslDownload(TfrmMain& form, const ActionContext& context) {
  const Configuration& config = context.configuration;
  const EqslDownloadSettings settings = EqslSettings(config, context.start_utc);

  FormEqslPage page(form.Form());
  const auto open_database = [&form]() -> LogDatabase& { return form.Database(); };
  return DownloadEqslInbox(settings, page, open_database, form) ? ActionEnd::kCommonTail
                                                                : ActionEnd::kStop;
}

void EqslIgnoreList(TfrmMain& form) { OpenIgnoreList(form.Config().ProgramFolder, form); }
