#ifndef QORVSYNC_TESTS_SUPPORT_ERROR_TEXT_H_
#define QORVSYNC_TESTS_SUPPORT_ERROR_TEXT_H_

#include <QString>

#include "platform/app_error.h"

// The message of the AppError that `action` throws, or "no error" when it
// returns normally.
template <typename Action>
QString ErrorText(Action action) {
  try {
    action();
  } catch (const AppError& error) {
    return error.Message();
  }
  return QStringLiteral("no error");
}

#endif  // QORVSYNC_TESTS_SUPPORT_ERROR_TEXT_H_
