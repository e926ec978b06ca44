#ifndef QORVSYNC_PLATFORM_APP_ERROR_H_
#define QORVSYNC_PLATFORM_APP_ERROR_H_

#include <QString>
#include <stdexcept>

// The one error type of the program. It carries the text the user sees in the
// standard error box; every operation lets it travel up to the handler that
// started the action.
class AppError : public std::runtime_error {
 public:
  explicit AppError(const QString& message);
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

// Fills the single "%s" or "%d" of one of the system's message patterns.
QString FormatMessage(const QString& pattern, const QString& argument);

#endif  // QORVSYNC_PLATFORM_APP_ERROR_H_
