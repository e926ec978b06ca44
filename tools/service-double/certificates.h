// The double's own certificate authority and the server certificate it signs
// for 127.0.0.1 and localhost, made fresh at every start.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

struct X509Deleter {
  void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using X509Ptr = std::unique_ptr<X509, X509Deleter>;
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyDeleter>;

struct Certificates {
  X509Ptr ca;
  KeyPtr ca_key;
  X509Ptr server;
  KeyPtr server_key;
};

// Throws std::runtime_error when OpenSSL fails.
Certificates MakeCertificates();

std::string ToPem(X509* cert);
