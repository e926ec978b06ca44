#ifndef QORVSYNC_NET_HTTP_FAILURE_H_
#define QORVSYNC_NET_HTTP_FAILURE_H_

#include <QString>

// What ended an exchange that did not complete, as the transfer saw it.
struct HttpFailure {
  int library_code = 0;  // the transfer library's result; 0: no failure
  int os_error = 0;      // the socket's error number, 0 when none
  bool timed_out = false;
  QString host;
  int timeout_ms = 0;
};

// Why the exchange failed, in plain words for a message box: no connection
// (and why), certificate not trusted, no answer within the time-out, reply
// cut short. Empty when there was no failure.
QString HttpFailureReason(const HttpFailure& failure);

// The message box text for a failed exchange: what failed, why, and that
// nothing was changed.
QString ExchangeFailedMessage(const QString& what_failed, const QString& reason);

#endif  // QORVSYNC_NET_HTTP_FAILURE_H_
