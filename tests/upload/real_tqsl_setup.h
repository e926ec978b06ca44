// What the tests with Debian's real TQSL need around it: a private X display
// (TQSL will not start without one) and a throwaway callsign certificate in a
// private TQSLDIR, made with openssl.
#ifndef QORVSYNC_TESTS_UPLOAD_REAL_TQSL_SETUP_H_
#define QORVSYNC_TESTS_UPLOAD_REAL_TQSL_SETUP_H_

#include <QProcess>
#include <QString>

// An Xvfb of its own, on the first free display number.
class PrivateXServer {
 public:
  ~PrivateXServer();
  // The display name, or empty when no server could be started.
  QString Start();

 private:
  QProcess process_;
};

// Makes a certificate authority and a user certificate for `call` (valid
// 2000-01-01 to 2030-12-31, DXCC entity 291) with its private key in
// `tqsl_dir`/keys, and has `tqsl` import it under the current DISPLAY.
// Empty on success, else what failed.
QString InstallThrowawayCertificate(const QString& tqsl, const QString& tqsl_dir,
                                    const QString& call);

#endif  // QORVSYNC_TESTS_UPLOAD_REAL_TQSL_SETUP_H_
