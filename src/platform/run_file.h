#ifndef QORVSYNC_PLATFORM_RUN_FILE_H_
#define QORVSYNC_PLATFORM_RUN_FILE_H_

#include <QString>

#include "platform/operation_ui.h"

// Starts a program file with its parameter text in `folder`, without waiting.
// A missing file (a link counts as its target) is told to the user and gives
// false; a start the system refuses throws AppError with the system error.
bool RunFile(const QString& path, const QString& parameters, const QString& folder,
             OperationUi& ui);

#endif  // QORVSYNC_PLATFORM_RUN_FILE_H_
