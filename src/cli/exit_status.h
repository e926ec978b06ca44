#ifndef QORVSYNC_CLI_EXIT_STATUS_H_
#define QORVSYNC_CLI_EXIT_STATUS_H_

// How a command ended, as its process exit status.
enum ExitStatus : int {
  kExitDone = 0,
  kExitFailed = 1,
  kExitUsage = 2,
  kExitNothingToDo = 3,  // no QSO to upload, no record in the file to import
};

#endif  // QORVSYNC_CLI_EXIT_STATUS_H_
