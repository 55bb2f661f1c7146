#include "HostileWeb.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

namespace veltrap::testing {
namespace {

constexpr std::size_t kAdversarialBytes = 8'000'000;
constexpr std::size_t kMostHeadBytes = 64 * 1024;

std::string Repeated(const std::string& unit, std::size_t size) {
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    return text;
}

std::string Answer(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// The value of a header in a request head, or "" without one. Names are
// matched as curl writes them, which is all this web is asked by.
std::string HeaderValue(const std::string& head, const std::string& name) {
    const std::string marker = "\r\n" + name + ": ";
    const std::size_t at = head.find(marker);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t from = at + marker.size();
    return head.substr(from, head.find("\r\n", from) - from);
}

// Whether the client closed its end, waiting a little for it.
bool ClientLeft(int socket) {
    pollfd watching{socket, POLLIN, 0};
    if (poll(&watching, 1, 50) <= 0) {
        return false;
    }
    char byte = 0;
    const ssize_t got = recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

}  // namespace

HostileWeb::HostileWeb(std::string siteKey)
    : quotes_(Repeated("href=" + std::string(49, 'q') + siteKey, kAdversarialBytes)),
      angles_(kAdversarialBytes, '<') {
    acceptor_ = std::thread([this] { Accept(); });
}

HostileWeb::~HostileWeb() {
    stopping_ = true;
    acceptor_.join();
    // No new connection can start now, so the list is final.
    for (auto& connection : connections_) {
        connection.join();
    }
}

std::string HostileWeb::Address() const {
    return "127.0.0.1:" + std::to_string(listener_.Port());
}

void HostileWeb::SetPage(const std::string& hostAndTarget, const std::string& body) {
    std::lock_guard lock(mutex_);
    pages_[hostAndTarget] = body;
}

void HostileWeb::Accept() {
    while (!stopping_) {
        const int socket = listener_.Accept(20);
        if (socket < 0) {
            continue;
        }
        // Short waits on both directions let every misbehaviour notice the
        // end of the test instead of blocking on a client that left.
        const timeval limit{0, 100'000};
        setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
        setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, socket] {
            Serve(socket);
            close(socket);
        });
    }
}

void HostileWeb::Serve(int socket) {
    // A TLS client speaks first, with a handshake record.
    char first = 0;
    for (;;) {
        const ssize_t got = recv(socket, &first, 1, MSG_PEEK);
        if (got > 0) {
            break;
        }
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || stopping_) {
            return;
        }
    }
    if (first == '\x16') {
        tls_.Handshake(socket, stopping_);
        return;
    }
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMostHeadBytes) {
        const ssize_t got = recv(socket, buffer, sizeof(buffer), 0);
        if (got > 0) {
            head.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || stopping_) {
            return;
        }
    }
    const std::size_t targetStart = head.find(' ') + 1;
    const std::string target = head.substr(targetStart, head.find(' ', targetStart) - targetStart);
    const std::string host = HeaderValue(head, "Host");
    std::string page;
    bool found = false;
    {
        std::lock_guard lock(mutex_);
        if (const auto known = pages_.find(host + target); known != pages_.end()) {
            page = known->second;
            found = true;
        }
    }
    if (found) {
        SendAll(socket, Answer(page));
        return;
    }
    Misbehave(socket, host);
}

void HostileWeb::Misbehave(int socket, const std::string& host) {
    if (host == "stall.test") {
        while (!stopping_ && !ClientLeft(socket)) {
        }
    } else if (host == "drip.test") {
        const std::string body = "<html><body>" + std::string(1000, 'd') + "</body></html>";
        if (SendAll(socket, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n")) {
            Trickle(socket, body, 1000);
        }
    } else if (host == "endless.test") {
        if (SendAll(socket, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>")) {
            const std::string more = Repeated("<p>and more</p>\n", 64 * 1024);
            while (SendAll(socket, more)) {
            }
        }
    } else if (host == "loop.test") {
        SendAll(socket,
                "HTTP/1.1 302 Found\r\nLocation: http://loop.test/again\r\n"
                "Content-Length: 0\r\nConnection: close\r\n\r\n");
    } else if (host == "bighead.test") {
        SendAll(socket, "HTTP/1.1 200 OK\r\nX-Big: " + std::string(2 * 1024 * 1024, 'b') +
                            "\r\nContent-Length: 0\r\n\r\n");
    } else if (host == "garbage.test") {
        std::string noise;
        for (int n = 0; n < 4096; ++n) {
            noise += static_cast<char>((n * 131 + 7) % 251 + 1);
        }
        SendAll(socket, noise);
    } else if (host == "reset.test") {
        // Closing with a zero linger sends a reset instead of an orderly end.
        const linger now{1, 0};
        setsockopt(socket, SOL_SOCKET, SO_LINGER, &now, sizeof(now));
    } else if (host == "slowhead.test") {
        Trickle(socket, "HTTP/1.1 200 OK\r\nX-Slow: " + std::string(10000, 's'), 1000);
    } else if (host == "quotes.test") {
        SendAll(socket, Answer(quotes_));
    } else if (host == "angles.test") {
        SendAll(socket, Answer(angles_));
    } else {
        SendAll(socket, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
}

bool HostileWeb::Trickle(int socket, const std::string& bytes, int pauseMs) {
    for (const char byte : bytes) {
        if (!SendAll(socket, std::string(1, byte))) {
            return false;
        }
        const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(pauseMs);
        while (std::chrono::steady_clock::now() < next) {
            if (stopping_ || ClientLeft(socket)) {
                return false;
            }
        }
    }
    return true;
}

bool HostileWeb::SendAll(int socket, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t wrote = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (wrote > 0) {
            sent += static_cast<std::size_t>(wrote);
        } else if ((errno != EAGAIN && errno != EWOULDBLOCK) || stopping_) {
            return false;
        }
    }
    return true;
}

}  // namespace veltrap::testing
