#include "app/program_actions.h"

#include "app/clublog_actions.h"
#include "app/confirmation_actions.h"
#include "app/eqsl_actions.h"
#include "app/logbook_actions.h"
#include "app/start_up.h"
#include "app/tfrm_main.h"
#include "app/upload_actions.h"
#include "platform/operation_lock.h"

namespace {

// The operations on the logbook run under the lock the command line takes
// too; when a command holds it, the window says so and does nothing.
MainActions::PageAction Locked(MainActions::PageAction action) {
  return [action](TfrmMain& form, const ActionContext& context) {
    const OperationLock lock(context.configuration.DatabasePath, QStringLiteral("the window"));
    if (!lock.Held()) {
      form.ShowMessage(MessageKind::kWarning, lock.Refusal());
      form.SetCaption(form.Config().LogName);
      return ActionEnd::kStop;
    }
    return action(form, context);
  };
}

MainActions::Handler Locked(MainActions::Handler action) {
  return [action](TfrmMain& form) {
    const OperationLock lock(form.CurrentAction().configuration.DatabasePath,
                             QStringLiteral("the window"));
    if (!lock.Held()) {
      form.ShowMessage(MessageKind::kWarning, lock.Refusal());
      return;
    }
    action(form);
  };
}

}  // namespace

// Each operation sets its slot here; a slot left empty does nothing.
MainActions ProgramActions() {
  MainActions actions;
  actions.clublog_load_adif = ClublogLoadAdif;
  actions.qorv_download = Locked(QorvDownload);
  actions.qorv_adif_import = Locked(QorvAdifImport);
  actions.start_up = StartUp;
  actions.log_poll = LogPoll;
  actions.locate_log_selector = LocateLogSelector;
  actions.nudge_logbook = NudgeLogbook;
  actions.closing = CloseLogbookLink;
  actions.upload = Locked(UploadToQorv);
  actions.location_drop_down = ListStationLocations;
  actions.eqsl_download = Locked(EqslDownload);
  actions.ignore_list = EqslIgnoreList;
  return actions;
}
