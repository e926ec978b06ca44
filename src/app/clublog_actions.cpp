#include "app/clublog_actions.h"

#include "app/tfrm_clublog.h"
#include "app/tfrm_main.h"
#include "clublog/clublog_upload.h"
#include "platform/app_error.h"
#include "ui_tfrm_main.h"

namespace {

ClublogSettings ReadClublogSettings(TfrmMain& form) {
  const Ui::TfrmMain& ui = form.Form();
  return {form.Config().Services.clublog, ui.clublogemail->text(), ui.password->text(),
          ui.callsign->text()};
}

TfrmClublog& ReplyWindow() {
  TfrmClublog* window = TfrmClublog::Program();
  if (window == nullptr) throw AppError(QStringLiteral("The Club Log reply window is missing."));
  return *window;
}

}  // namespace

void ClublogLoadAdif(TfrmMain& form) {
  LoadAdifToClublog(form, ReadClublogSettings(form), ReplyWindow());
}

ClublogStepEnd ClublogSubmitExport(TfrmMain& form, const QString& export_file, bool keep_export) {
  const ClublogSubmission submission = SubmitExportToClublog(
      form, ReadClublogSettings(form), export_file,
      [&form, keep_export] { return keep_export || form.Form().cbKeep->isChecked(); },
      ReplyWindow());
  return {submission.common_tail, submission.reply.accepted};
}
