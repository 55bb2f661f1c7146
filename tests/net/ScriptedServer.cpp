#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>

namespace veltrap::testing {

namespace {

// A server context whose certificate no client can trust: self-signed, for
// the loopback address.
SSL_CTX* SelfSignedContext() {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), &X509_free);
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_server_method()),
                                                              &SSL_CTX_free);
    if (!key || !cert || !context) {
        return nullptr;
    }
    X509_NAME* name = X509_get_subject_name(cert.get());
    const auto* host = reinterpret_cast<const unsigned char*>("127.0.0.1");
    const bool made = X509_set_version(cert.get(), 2) == 1 &&
                      ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1) == 1 &&
                      X509_gmtime_adj(X509_getm_notBefore(cert.get()), 0) != nullptr &&
                      X509_gmtime_adj(X509_getm_notAfter(cert.get()), 3600) != nullptr &&
                      X509_set_pubkey(cert.get(), key.get()) == 1 &&
                      X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, host, -1, -1, 0) == 1 &&
                      X509_set_issuer_name(cert.get(), name) == 1 &&
                      X509_sign(cert.get(), key.get(), EVP_sha256()) > 0 &&
                      SSL_CTX_use_certificate(context.get(), cert.get()) == 1 &&
                      SSL_CTX_use_PrivateKey(context.get(), key.get()) == 1;
    return made ? context.release() : nullptr;
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<std::string> replies, bool tls)
    : replies_(std::move(replies)) {
    if (replies_.empty()) {
        throw std::invalid_argument("a scripted server needs at least one reply");
    }
    if (tls && (tls_ = SelfSignedContext()) == nullptr) {
        throw std::runtime_error("cannot make a self-signed certificate");
    }
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (listener_ < 0 || bind(listener_, raw, length) != 0 || listen(listener_, 16) != 0 ||
        getsockname(listener_, raw, &length) != 0) {
        throw std::runtime_error("cannot listen on a loopback port");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    thread_.join();
    close(listener_);
    SSL_CTX_free(static_cast<SSL_CTX*>(tls_));
}

void ScriptedServer::Serve() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        const int socket = accept(listener_, nullptr, nullptr);
        if (socket < 0) {
            continue;
        }
        const timeval limit{2, 0};
        setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
        const int index = connections_.fetch_add(1);
        Answer(socket, replies_[std::min<std::size_t>(index, replies_.size() - 1)]);
        close(socket);
    }
}

void ScriptedServer::Answer(int socket, const std::string& reply) {
    std::unique_ptr<SSL, decltype(&SSL_free)> tls(nullptr, &SSL_free);
    if (tls_ != nullptr) {
        tls.reset(SSL_new(static_cast<SSL_CTX*>(tls_)));
        if (!tls || SSL_set_fd(tls.get(), socket) != 1 || SSL_accept(tls.get()) != 1) {
            return;
        }
    }
    const auto receive = [&](char* data, int size) {
        return tls ? SSL_read(tls.get(), data, size)
                   : static_cast<int>(recv(socket, data, size, 0));
    };
    const auto send = [&](const char* data, int size) {
        return tls ? SSL_write(tls.get(), data, size)
                   : static_cast<int>(::send(socket, data, size, MSG_NOSIGNAL));
    };
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const int got = receive(buffer, sizeof(buffer));
        if (got <= 0) {
            return;
        }
        head.append(buffer, got);
    }
    for (std::size_t sent = 0; sent < reply.size();) {
        const int wrote = send(reply.data() + sent, static_cast<int>(reply.size() - sent));
        if (wrote <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(wrote);
    }
    if (tls) {
        SSL_shutdown(tls.get());
    }
}

}  // namespace veltrap::testing
