#ifndef QORVSYNC_CLI_UNMATCHED_COMMAND_H_
#define QORVSYNC_CLI_UNMATCHED_COMMAND_H_

#include "cli/cli_request.h"
#include "cli/console_ui.h"
#include "cli/headless_session.h"
#include "cli/outcome.h"

// "unmatched": for every record of the last Qorv report (or of FILE, or of
// the last eQSL inbox with --eqsl) that matches no QSO of the log set, the
// nearest QSOs (the same call within a day, or the same date and band with a
// call that differs by a prefix or suffix such as "/P") and what differs.
// --confirm TABLE:ID marks one of them confirmed by its record, the way a
// match would.
int UnmatchedCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome);

#endif  // QORVSYNC_CLI_UNMATCHED_COMMAND_H_
