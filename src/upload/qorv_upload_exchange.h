#ifndef QORVSYNC_UPLOAD_QORV_UPLOAD_EXCHANGE_H_
#define QORVSYNC_UPLOAD_QORV_UPLOAD_EXCHANGE_H_

#include <QString>

// The text by which Qorv says it took the signed file (two blanks before
// "accepted").
inline constexpr char kQorvAccepted[] = "<!-- .UPL.  accepted -->";

struct QorvUploadReply {
  bool completed = false;  // the exchange ran to its end
  int socket_error = 0;    // when it did not
  QString failure_reason;  // why it did not, in plain words
  int status = 0;          // the reply's status code
  bool accepted = false;   // the reply holds the acceptance text
  QString text;            // the reply's text
};

// Posts the signed file as the form's "upfile" part to `service` +
// "/qorvuser/upload" with the login in the query (percent-encoded), HTTP/1.0,
// never through a proxy. A file that cannot be read throws AppError
// ('Cannot open file ...') before anything is sent.
QorvUploadReply PostSignedFile(const QString& service, const QString& login,
                               const QString& password, const QString& signed_file);

#endif  // QORVSYNC_UPLOAD_QORV_UPLOAD_EXCHANGE_H_
