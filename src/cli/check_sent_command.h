#ifndef QORVSYNC_CLI_CHECK_SENT_COMMAND_H_
#define QORVSYNC_CLI_CHECK_SENT_COMMAND_H_

#include "cli/cli_request.h"
#include "cli/console_ui.h"
#include "cli/headless_session.h"
#include "cli/outcome.h"

// "check-sent": fetches from Qorv every QSO it holds for the account (the
// report without the confirmed-only filter), lists the QSOs of the log marked
// sent that it does not hold, and with --unmark clears their sent mark so that
// the next upload sends them again.
int CheckSentCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                     Outcome& outcome);

#endif  // QORVSYNC_CLI_CHECK_SENT_COMMAND_H_
