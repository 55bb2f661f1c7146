#include "ScriptedServer.h"

#include "support/SelfSignedTls.h"

#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>

namespace veltrap::testing {

ScriptedServer::ScriptedServer(std::vector<std::string> replies, bool tls)
    : replies_(std::move(replies)) {
    if (replies_.empty()) {
        throw std::invalid_argument("a scripted server needs at least one reply");
    }
    if (tls) {
        tls_ = std::make_unique<SelfSignedTls>("127.0.0.1");
    }
    thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    thread_.join();
}

std::vector<std::string> ScriptedServer::Heads() const {
    std::lock_guard lock(headsMutex_);
    return heads_;
}

void ScriptedServer::Serve() {
    while (!stopping_) {
        const int socket = listener_.Accept(20);
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
        tls.reset(SSL_new(tls_->Context()));
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
    {
        std::lock_guard lock(headsMutex_);
        heads_.push_back(head);
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
