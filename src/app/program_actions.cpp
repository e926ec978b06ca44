#include "app/program_actions.h"

#include "app/clublog_actions.h"
#include "app/confirmation_actions.h"
#include "app/eqsl_actions.h"
#include "app/logbook_actions.h"
#include "app/start_up.h"
#include "app/upload_actions.h"

// Each operation sets its slot here; a slot left empty does nothing.
MainActions ProgramActions() {
  MainActions actions;
  actions.clublog_load_adif = ClublogLoadAdif;
  actions.qorv_download = QorvDownload;
  actions.qorv_adif_import = QorvAdifImport;
  actions.start_up = StartUp;
  actions.log_poll = LogPoll;
  actions.locate_log_selector = LocateLogSelector;
  actions.nudge_logbook = NudgeLogbook;
  actions.closing = CloseLogbookLink;
  actions.upload = UploadToQorv;
  actions.location_drop_down = ListStationLocations;
  actions.eqsl_download = EqslDownload;
  actions.ignore_list = EqslIgnoreList;
  return actions;
}
