#include "demo/DemoWeb.h"

#include "base/AsciiCase.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include <sys/socket.h>

namespace veltrap {

DemoWeb::DemoWeb(DemoOptions options) : options_(options), pages_(options.size) {}

DemoWeb::~DemoWeb() {
    Stop();
}

Status DemoWeb::Start() {
    if (thread_.joinable()) {
        return Failure{"the demo web is already running on port " + std::to_string(port_)};
    }
    {
        std::lock_guard lock(loadMutex_);
        stopRequested_ = false;
    }
    server_ = std::make_unique<BackloggedServer>();
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
    // The idle wait also covers a fresh connection's first request. A client
    // whose loop pauses (TLS set-up for another transfer takes tens of
    // milliseconds, far more under a sanitizer) sends it late, and a
    // one-second wait closed such connections unanswered, so the client had
    // to ask again. The library's default of five seconds outlasts that.
    server_->set_keep_alive_timeout(5);
    // Headers and body go out in separate writes; without this the body of
    // every answer waits for the client's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(request, response);
    });
    // The services that take a body to ask with (DataForSEO) are posted to.
    server_->Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(request, response);
    });

    if (options_.port > 0) {
        if (!server_->bind_to_port("127.0.0.1", options_.port)) {
            server_.reset();
            return Failure{"cannot listen on 127.0.0.1:" + std::to_string(options_.port) +
                           " (is the port in use?)"};
        }
        port_ = options_.port;
    } else {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            server_.reset();
            port_ = 0;
            return Failure{"cannot listen on any port of 127.0.0.1"};
        }
    }
    if (!server_->WidenBacklog()) {
        server_.reset();
        port_ = 0;
        return Failure{"cannot widen the queue of the listening socket"};
    }
    auto ended = std::make_shared<std::atomic<bool>>(false);
    thread_ = std::thread([server = server_.get(), ended] {
        server->listen_after_bind();
        ended->store(true);
    });
    while (!server_->is_running()) {
        if (ended->load()) {
            Stop();
            return Failure{"the demo web stopped as soon as it started"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return {};
}

void DemoWeb::Stop() {
    {
        std::lock_guard lock(loadMutex_);
        stopRequested_ = true;
    }
    stopping_.notify_all();
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
    server_.reset();
}

void DemoWeb::Answer(const httplib::Request& request, httplib::Response& response) {
    const std::string host = request.get_header_value("Host");
    Enter(host);
    Delay();
    if (RefusedFirst(host + request.target)) {
        response.status = 503;
        response.set_header("Retry-After", "0");
        answered_.fetch_add(1);
        Leave(host);
        return;
    }
    std::map<std::string, std::string> asked;
    for (const auto& [name, value] : request.headers) {
        asked.emplace(LowerAscii(name), value);
    }
    const DemoAnswer answer =
        pages_.Answer(host, request.target, std::move(asked), request.method, request.body);
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
        response.set_header(name, value);
    }
    response.set_content(answer.body, answer.contentType);
    answered_.fetch_add(1);
    Leave(host);
}

bool DemoWeb::RefusedFirst(const std::string& address) {
    if (options_.refuseFirstOneIn <= 0 ||
        std::hash<std::string>{}(address) % static_cast<std::size_t>(options_.refuseFirstOneIn) !=
            0) {
        return false;
    }
    std::lock_guard lock(loadMutex_);
    return refused_.insert(address).second;
}

void DemoWeb::Delay() {
    if (options_.latencyMs <= 0) {
        return;
    }
    std::unique_lock lock(loadMutex_);
    stopping_.wait_for(lock, std::chrono::milliseconds(options_.latencyMs),
                       [this] { return stopRequested_; });
}

void DemoWeb::Enter(const std::string& host) {
    std::lock_guard lock(loadMutex_);
    peaks_.all = std::max(peaks_.all, ++inFlight_);
    const int onHost = ++inFlightByHost_[host];
    if (onHost > peaks_.oneHost) {
        peaks_.oneHost = onHost;
        peaks_.host = host;
    }
}

void DemoWeb::Leave(const std::string& host) {
    std::lock_guard lock(loadMutex_);
    --inFlight_;
    if (--inFlightByHost_[host] == 0) {
        inFlightByHost_.erase(host);
    }
}

DemoWeb::Peaks DemoWeb::PeakLoad() const {
    std::lock_guard lock(loadMutex_);
    return peaks_;
}

std::string DemoWeb::ConnectTo() const {
    return "127.0.0.1:" + std::to_string(port_);
}

}  // namespace veltrap
