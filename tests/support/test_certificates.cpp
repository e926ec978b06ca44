#include "support/test_certificates.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  Check(key != nullptr, "key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  Check(ext != nullptr && X509_add_ext(cert, ext, -1) == 1, value);
  X509_EXTENSION_free(ext);
}

X509* NewCertificate(EVP_PKEY* key, const char* common_name, long serial) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 7L * 24 * 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  return cert;
}

QByteArray CertPem(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  QByteArray pem(data, size);
  BIO_free(bio);
  return pem;
}

QByteArray KeyPem(EVP_PKEY* key) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  QByteArray pem(data, size);
  BIO_free(bio);
  return pem;
}

TestCertificates Make(const char* ca_name, const QString& file_name) {
  static QTemporaryDir dir;
  EVP_PKEY* ca_key = NewKey();
  X509* ca = NewCertificate(ca_key, ca_name, 1);
  X509_set_issuer_name(ca, X509_get_subject_name(ca));
  AddExtension(ca, ca, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign");
  AddExtension(ca, ca, NID_subject_key_identifier, "hash");
  Check(X509_sign(ca, ca_key, EVP_sha256()) > 0, "sign CA");

  EVP_PKEY* server_key = NewKey();
  X509* server = NewCertificate(server_key, "127.0.0.1", 2);
  X509_set_issuer_name(server, X509_get_subject_name(ca));
  AddExtension(server, ca, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(server, ca, NID_ext_key_usage, "serverAuth");
  AddExtension(server, ca, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  AddExtension(server, ca, NID_authority_key_identifier, "keyid:always");
  Check(X509_sign(server, ca_key, EVP_sha256()) > 0, "sign server");

  TestCertificates result;
  result.ca_pem = CertPem(ca);
  result.server_cert_pem = CertPem(server);
  result.server_key_pem = KeyPem(server_key);
  result.ca_file = QDir(dir.path()).filePath(file_name);
  QFile file(result.ca_file);
  Check(file.open(QIODevice::WriteOnly) && file.write(result.ca_pem) == result.ca_pem.size(),
        "write CA file");
  X509_free(server);
  X509_free(ca);
  EVP_PKEY_free(server_key);
  EVP_PKEY_free(ca_key);
  return result;
}

}  // namespace

const TestCertificates& SharedTestCertificates() {
  static const TestCertificates certificates = Make("qorvsync test CA", "test-ca.pem");
  return certificates;
}

const TestCertificates& OtherTestCertificates() {
  static const TestCertificates certificates = Make("unrelated test CA", "other-ca.pem");
  return certificates;
}
