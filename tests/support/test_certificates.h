#ifndef QORVSYNC_TESTS_SUPPORT_TEST_CERTIFICATES_H_
#define QORVSYNC_TESTS_SUPPORT_TEST_CERTIFICATES_H_

#include <QByteArray>
#include <QString>

// A certificate authority made at test time and a server certificate it
// signed for 127.0.0.1 and localhost. Made once per test program.
struct TestCertificates {
  QByteArray ca_pem;
  QByteArray server_cert_pem;
  QByteArray server_key_pem;
  QString ca_file;  // ca_pem written to a temporary file, for clients to trust
};

const TestCertificates& SharedTestCertificates();

// A second, unrelated authority (with its own PEM file), for clients that
// must refuse the server.
const TestCertificates& OtherTestCertificates();

#endif  // QORVSYNC_TESTS_SUPPORT_TEST_CERTIFICATES_H_
