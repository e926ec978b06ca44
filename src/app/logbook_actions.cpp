#include "app/logbook_actions.h"

#include "app/logbook_session.h"
#include "app/tfrm_main.h"
#include "logdb/log_database.h"
#include "platform/delay.h"
#include "platform/run_file.h"
#include "session/configuration.h"
#include "session/logbook_files.h"

void LogPoll(TfrmMain& form) {
  Configuration& config = form.Config();
  LogbookSession& session = form.Session();
  const QString shown = session.Link().PollSelectorText(config.LogName);
  // A log whose configuration failed to load is tried again only once the
  // selector has shown something else, so its error is not repeated every
  // period.
  if (shown.isEmpty()) session.SetFailedLogName(QString());
  if (shown.isEmpty() || shown == session.FailedLogName()) return;
  // The name changes only together with the configuration loaded for it.
  Configuration next = config;
  next.LogName = shown;
  session.SetFailedLogName(shown);
  LoadLogConfiguration(session.Database(), next);
  session.SetFailedLogName(QString());
  config = next;
  form.SetCaption(config.LogName);
}

void LocateLogSelector(TfrmMain& form) { form.Session().Link().LocateLogSelector(); }

void NudgeLogbook(TfrmMain& form) { form.Session().Link().NudgeLogbook(Delay); }

void CloseLogbookLink(TfrmMain& form) {
  NudgeLogbook(form);
  if (form.Session().FindProcess(kLogbookExe) != 0) return;
  const QString exe = form.Config().InstallPath + kLogbookExe;
  RunFile(exe, QString(), exe.left(exe.lastIndexOf(u'/') + 1), form);
}
