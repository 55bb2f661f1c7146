#include "support/LoopbackServer.h"

#include <stdexcept>

namespace veltrap::testing {

LoopbackServer::LoopbackServer() = default;

LoopbackServer::~LoopbackServer() { Stop(); }

void LoopbackServer::Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("cannot bind a loopback port");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    server_.wait_until_ready();
}

void LoopbackServer::Stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string LoopbackServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

}  // namespace veltrap::testing
