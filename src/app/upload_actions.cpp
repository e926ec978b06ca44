#include "app/upload_actions.h"

#include "app/clublog_actions.h"
#include "app/tfrm_main.h"
#include "logdb/log_database.h"
#include "platform/system_folders.h"
#include "session/configuration.h"
#include "session/upload_settings.h"
#include "ui_tfrm_main.h"
#include "upload/qorv_upload.h"
#include "upload/station_locations.h"

ActionEnd UploadToQorv(TfrmMain& form, const ActionContext& context) {
  const Configuration& config = context.configuration;
  const Ui::TfrmMain& ui = form.Form();
  // A person is at the screen: TQSL may ask and takes the time it needs.
  const QorvUploadRequest request =
      QorvUploadRequestFor(config, ui.edtTqsl->text(), ui.edLocation->currentText(), TqslRunMode{});
  const QorvUploadHooks hooks = QorvUploadHooksFor(
      config, [&ui] { return ui.cbKeep->isChecked(); }, [&ui] { return ui.cbClublog->isChecked(); },
      [&form](const QString& export_file, bool keep_export) {
        return ClublogSubmitExport(form, export_file, keep_export);
      });

  return RunQorvUpload(form, form.Database(), request, hooks).common_tail ? ActionEnd::kCommonTail
                                                                          : ActionEnd::kStop;
}

void ListStationLocations(TfrmMain& form) {
  QComboBox* box = form.Form().edLocation;
  const QString typed = box->currentText();
  box->clear();
  box->setEditText(typed);
  const QStringList names = ReadStationLocations(TqslStationDataPath());
  box->addItems(names);
  box->setEditText(typed);
}
