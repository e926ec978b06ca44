#ifndef QORVSYNC_APP_MAIN_ACTIONS_H_
#define QORVSYNC_APP_MAIN_ACTIONS_H_

#include <QDateTime>
#include <functional>

#include "session/configuration.h"

class TfrmMain;

// How an action of the action button ended: normally, so that the common tail
// (caption back to the log name, the logbook nudged) follows, or early, which
// ends the click there.
enum class ActionEnd { kCommonTail, kStop };

// What an action of the action button starts with. The configuration is a
// copy taken at the click: the log poll may change the window's record while
// the action runs, the action keeps the log it started with.
struct ActionContext {
  QDateTime start_utc;
  Configuration configuration;
};

// The work behind the window's handlers. The window calls each slot from the
// handler named beside it, inside the error guard; an empty slot does
// nothing. Errors escaping a slot are shown in the standard error box.
struct MainActions {
  using PageAction = std::function<ActionEnd(TfrmMain&, const ActionContext&)>;
  using Handler = std::function<void(TfrmMain&)>;

  // btnQorvClick, by the page shown when each one's turn comes.
  PageAction qorv_download;  // page 1
  PageAction eqsl_download;  // page 2
  PageAction upload;         // page 3
  // The common tail after the caption is back to the log name.
  Handler locate_log_selector;
  Handler nudge_logbook;

  Handler qorv_adif_import;    // btnQorvAdifClick
  Handler ignore_list;         // btnIgnoreClick
  Handler clublog_load_adif;   // btnADIFClick
  Handler location_drop_down;  // edLocationDropDown, before the list opens
  Handler start_up;            // FormCreate, while the window is constructed
  Handler log_poll;            // TimerTimer
  Handler closing;             // FormClose, after the settings are saved
};

#endif  // QORVSYNC_APP_MAIN_ACTIONS_H_
