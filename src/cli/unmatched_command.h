#ifndef QORVSYNC_CLI_UNMATCHED_COMMAND_H_
#define QORVSYNC_CLI_UNMATCHED_COMMAND_H_

#include "cli/cli_request.h"
#include "cli/console_ui.h"
#include "cli/headless_session.h"
#include "cli/outcome.h"

// "unmatched": for every record that matches no QSO of the log set, the
// nearest QSOs (the same call within a day, or the same date and band with a
// call that differs by a prefix or suffix such as "/P") and what differs. The
// records are those of FILE, else of the most recent run (Qorv download or
// import, eQSL download; with --eqsl the eQSL one) that left records matching
// nothing, as the program remembered it; the output says which run.
// --confirm TABLE:ID marks exactly that listed QSO confirmed by its record,
// as a match would, and says whether anything was written.
int UnmatchedCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome);

#endif  // QORVSYNC_CLI_UNMATCHED_COMMAND_H_
