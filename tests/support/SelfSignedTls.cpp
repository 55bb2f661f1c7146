#include "support/SelfSignedTls.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <stdexcept>

namespace veltrap::testing {
namespace {

struct FreeKey {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct FreeCertificate {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct FreeSsl {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

void Check(bool done, const char* what) {
    if (!done) {
        throw std::runtime_error(std::string("cannot make the self-signed certificate: ") + what);
    }
}

}  // namespace

SelfSignedTls::SelfSignedTls(const std::string& hostName)
    : context_(SSL_CTX_new(TLS_server_method())) {
    Check(context_ != nullptr, "SSL_CTX_new");
    const std::unique_ptr<EVP_PKEY, FreeKey> key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "EVP_EC_gen");
    const std::unique_ptr<X509, FreeCertificate> certificate(X509_new());
    Check(certificate != nullptr, "X509_new");
    X509_NAME* name = X509_get_subject_name(certificate.get());
    Check(X509_set_version(certificate.get(), 2) == 1 &&
              ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1) == 1 &&
              X509_gmtime_adj(X509_getm_notBefore(certificate.get()), 0) != nullptr &&
              X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 24 * 3600) != nullptr &&
              X509_set_pubkey(certificate.get(), key.get()) == 1 &&
              X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                         reinterpret_cast<const unsigned char*>(hostName.c_str()),
                                         -1, -1, 0) == 1 &&
              X509_set_issuer_name(certificate.get(), name) == 1,
          "filling in the certificate");
    Check(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "X509_sign");
    Check(SSL_CTX_use_certificate(context_.get(), certificate.get()) == 1 &&
              SSL_CTX_use_PrivateKey(context_.get(), key.get()) == 1,
          "SSL_CTX_use_certificate");
}

void SelfSignedTls::Handshake(int socket, const std::atomic<bool>& stopping) const {
    const std::unique_ptr<SSL, FreeSsl> ssl(SSL_new(context_.get()));
    if (!ssl || SSL_set_fd(ssl.get(), socket) != 1) {
        return;
    }
    // The socket's short receive timeout makes a wait show as a want to read,
    // so that the loop sees stopping between the client's messages.
    while (!stopping) {
        const int accepted = SSL_accept(ssl.get());
        if (accepted == 1) {
            return;
        }
        const int error = SSL_get_error(ssl.get(), accepted);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
            return;
        }
    }
}

}  // namespace veltrap::testing
