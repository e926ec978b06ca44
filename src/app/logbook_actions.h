#ifndef QORVSYNC_APP_LOGBOOK_ACTIONS_H_
#define QORVSYNC_APP_LOGBOOK_ACTIONS_H_

class TfrmMain;

// TimerTimer, every 300 ms while on: when the logbook's log selector shows
// another log, LogName, the Aconfig values and the caption follow it
// together; a log whose Aconfig row cannot be read changes nothing. Only the
// window's record changes; a running action keeps its own copy.
void LogPoll(TfrmMain& form);

// The common tail's pokes: find the log selector, then make the logbook
// reload through its entry window.
void LocateLogSelector(TfrmMain& form);
void NudgeLogbook(TfrmMain& form);

// FormClose: the logbook nudged once more with the handles as they stand,
// then started when it does not run.
void CloseLogbookLink(TfrmMain& form);

#endif  // QORVSYNC_APP_LOGBOOK_ACTIONS_H_
