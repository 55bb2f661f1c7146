#include "demo/DemoWeb.h"

#include <chrono>
#include <memory>

#include <sys/socket.h>

namespace veltrap {

DemoWeb::DemoWeb(DemoOptions options) : options_(options), pages_(options.size) {}

DemoWeb::~DemoWeb() {
    Stop();
}

std::string DemoWeb::Start() {
    if (thread_.joinable()) {
        return "the demo web is already running on port " + std::to_string(port_);
    }
    server_ = std::make_unique<httplib::Server>();
    const int threads = options_.threads > 0 ? options_.threads : 1;
    server_->new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<std::size_t>(threads));
    };
    // The library's default lets a second server share a port that is in use;
    // a demo web started twice on one port must be told instead.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    // Idle kept-alive connections each hold a worker; let them go soon.
    server_->set_keep_alive_timeout(1);
    // Headers and body go out in separate writes; without this the body of
    // every answer waits for the client's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        if (options_.latencyMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(options_.latencyMs));
        }
        const DemoAnswer answer = pages_.Answer(request.get_header_value("Host"), request.target);
        response.status = answer.status;
        response.set_content(answer.body, answer.contentType);
        answered_.fetch_add(1);
    });

    if (options_.port > 0) {
        if (!server_->bind_to_port("127.0.0.1", options_.port)) {
            server_.reset();
            return "cannot listen on 127.0.0.1:" + std::to_string(options_.port) +
                   " (is the port in use?)";
        }
        port_ = options_.port;
    } else {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            server_.reset();
            port_ = 0;
            return "cannot listen on any port of 127.0.0.1";
        }
    }
    auto ended = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([server = server_.get(), ended] {
        server->listen_after_bind();
        ended->store(true);
    });
    while (!server_->is_running()) {
        if (ended->load()) {
            Stop();
            return "the demo web stopped as soon as it started";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return {};
}

void DemoWeb::Stop() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
    server_.reset();
}

std::string DemoWeb::ConnectTo() const {
    return "127.0.0.1:" + std::to_string(port_);
}

}  // namespace veltrap
