#include "certificates.h"

#include <openssl/bn.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate: ") + what + " failed");
}

KeyPtr MakeKey() {
  KeyPtr key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "key generation");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  Check(extension != nullptr, value);
  X509_add_ext(cert, extension, -1);
  X509_EXTENSION_free(extension);
}

X509Ptr NewCertificate(EVP_PKEY* key, const char* common_name) {
  X509Ptr cert(X509_new());
  Check(cert != nullptr, "X509_new");
  X509_set_version(cert.get(), 2);
  unsigned char serial[16];
  Check(RAND_bytes(serial, sizeof serial) == 1, "RAND_bytes");
  serial[0] &= 0x7f;
  BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get()));
  BN_free(number);
  // A day back, so that a clock a little behind still accepts it.
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24 * 3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 365L * 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Service Double"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  return cert;
}

}  // namespace

Certificates MakeCertificates() {
  Certificates result;
  result.ca_key = MakeKey();
  result.ca = NewCertificate(result.ca_key.get(), "Service Double Test CA");
  X509* ca = result.ca.get();
  X509_set_issuer_name(ca, X509_get_subject_name(ca));
  AddExtension(ca, ca, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(ca, ca, NID_key_usage, "critical,keyCertSign,cRLSign");
  AddExtension(ca, ca, NID_subject_key_identifier, "hash");
  Check(X509_sign(ca, result.ca_key.get(), EVP_sha256()) > 0, "signing the CA");

  result.server_key = MakeKey();
  result.server = NewCertificate(result.server_key.get(), "localhost");
  X509* server = result.server.get();
  X509_set_issuer_name(server, X509_get_subject_name(ca));
  AddExtension(server, ca, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(server, ca, NID_key_usage, "critical,digitalSignature,keyEncipherment");
  AddExtension(server, ca, NID_ext_key_usage, "serverAuth");
  AddExtension(server, ca, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
  AddExtension(server, ca, NID_authority_key_identifier, "keyid:always");
  Check(X509_sign(server, result.ca_key.get(), EVP_sha256()) > 0, "signing the server");
  return result;
}

std::string ToPem(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<size_t>(size));
  BIO_free(bio);
  return pem;
}
