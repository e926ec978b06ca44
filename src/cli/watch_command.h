#ifndef QORVSYNC_CLI_WATCH_COMMAND_H_
#define QORVSYNC_CLI_WATCH_COMMAND_H_

#include <cstdio>

#include "cli/cli_request.h"
#include "cli/outcome.h"

// "qorvsync watch": follows the logbook as the [Watch] settings of "qorv.ini"
// say, one line per action on `err` (JSON with --json), until SIGTERM or
// SIGINT, which let the QSO or operation in hand finish; then exit status 0.
// A second watch over the same state folder is refused.
int WatchCommand(const CliRequest& request, std::FILE* err, Outcome& outcome);

// "qorvsync status": what the last watch wrote of its state (what is parked,
// what failed, what waits, when the next download is due) as the outcome's
// lines, and as its member "watch" in JSON.
int StatusCommand(Outcome& outcome);

#endif  // QORVSYNC_CLI_WATCH_COMMAND_H_
