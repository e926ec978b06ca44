#ifndef QORVSYNC_CLI_OPERATION_COMMANDS_H_
#define QORVSYNC_CLI_OPERATION_COMMANDS_H_

#include "cli/cli_request.h"
#include "cli/console_ui.h"
#include "cli/headless_session.h"
#include "cli/outcome.h"

// The window's actions without the window: the same operations with the
// same inputs (the stored options, the registry's dates), fed from the
// command line where it gives them. Each returns the exit status and fills
// the outcome.
int DownloadQorvCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome);
int DownloadEqslCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                        Outcome& outcome);
int ImportCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                  Outcome& outcome);
int UploadCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                  Outcome& outcome);
// Needs only the settings: the session may be one without the logbook.
int ClublogCommand(const CliRequest& request, HeadlessSession& session, ConsoleUi& ui,
                   Outcome& outcome);

// The logbook's entry window shown the changes, as the window's common tail
// does; nothing when the logbook is not running.
void ShowChangesInLogbook();

#endif  // QORVSYNC_CLI_OPERATION_COMMANDS_H_
