#include "support/LoopbackServer.h"

#include <chrono>
#include <stdexcept>

namespace veltrap::testing {

LoopbackServer::LoopbackServer() = default;

LoopbackServer::~LoopbackServer() {
    Stop();
}

void LoopbackServer::Start() {
    // Without it small answers wait for the peer's delayed acknowledgement.
    server_.set_tcp_nodelay(true);
    // A thread serves one connection until it has been idle for the library's
    // keep-alive time (five seconds). A run keeps more connections open than
    // the library's default pool of eight threads, and each connection beyond
    // them would wait those five seconds for a thread before its first answer.
    server_.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("cannot bind a loopback port");
    }
    if (!server_.WidenBacklog()) {
        throw std::runtime_error("cannot widen the loopback server's queue");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void LoopbackServer::Stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

std::string LoopbackServer::Address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

}  // namespace veltrap::testing
