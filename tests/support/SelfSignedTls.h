#pragma once

#include <openssl/ssl.h>

#include <atomic>
#include <memory>
#include <string>

namespace veltrap::testing {

// The server's side of TLS with a certificate made afresh for one host name
// and signed by itself, so that no client that checks certificates can
// accept it. Safe to use from several connection threads at once.
class SelfSignedTls {
public:
    explicit SelfSignedTls(const std::string& hostName);

    // Takes the client's handshake on the connected socket and answers it
    // until the client gives up on the certificate, goes away or stopping
    // is set.
    void Handshake(int socket, const std::atomic<bool>& stopping) const;

    // For a server that carries on after the handshake itself.
    SSL_CTX* Context() const { return context_.get(); }

private:
    struct Free {
        void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    };

    std::unique_ptr<SSL_CTX, Free> context_;
};

}  // namespace veltrap::testing
