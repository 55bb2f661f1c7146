#include "support/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace veltrap::testing {

LoopbackListener::LoopbackListener(int backlog) : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (socket_ < 0 || bind(socket_, raw, length) != 0 || listen(socket_, backlog) != 0 ||
        getsockname(socket_, raw, &length) != 0) {
        if (socket_ >= 0) {
            close(socket_);
        }
        throw std::runtime_error("cannot listen on a loopback port");
    }
    port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
    close(socket_);
}

int LoopbackListener::Accept(int waitMs) const {
    pollfd waiting{socket_, POLLIN, 0};
    if (poll(&waiting, 1, waitMs) <= 0) {
        return -1;
    }
    return accept(socket_, nullptr, nullptr);
}

}  // namespace veltrap::testing
