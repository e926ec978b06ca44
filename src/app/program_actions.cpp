#include "app/program_actions.h"

#include "app/clublog_actions.h"
#include "app/confirmation_actions.h"

// Each operation sets its slot here; a slot left empty does nothing.
MainActions ProgramActions() {
  MainActions actions;
  actions.clublog_load_adif = ClublogLoadAdif;
  actions.qorv_download = QorvDownload;
  actions.qorv_adif_import = QorvAdifImport;
  return actions;
}
