#include "app/logbook_actions.h"

#include "app/logbook_session.h"
#include "app/start_up.h"
#include "app/tfrm_main.h"
#include "logdb/log_database.h"
#include "platform/delay.h"
#include "platform/run_file.h"

void LoadLogConfiguration(LogDatabase& database, Configuration& config) {
  const LogConfiguration log = database.LoadLogConfiguration(config.LogName);
  config.LogFileName = log.LogFileName;
  config.LogSet = log.LogSet;
  config.EQSLUserName = log.EQSLUserName;
  config.EQSLPassword = log.EQSLPassword;
  config.EQorvUserName = log.EQorvUserName;
  config.EQorvPassword = log.EQorvPassword;
}

void LogPoll(TfrmMain& form) {
  Configuration& config = form.Config();
  LogbookSession& session = form.Session();
  const QString shown = session.Link().PollSelectorText(config.LogName);
  if (shown.isEmpty()) return;
  // The name is taken first: a failing query is not tried again until the
  // selector shows yet another log.
  config.LogName = shown;
  LoadLogConfiguration(session.Database(), config);
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
