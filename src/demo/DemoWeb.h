#pragma once

#include "demo/DemoPages.h"

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace veltrap {

struct DemoOptions {
    // Added to every answer, so that a run's progress can be watched and
    // timings resemble a real network. 0 answers at once.
    int latencyMs = 5;
    // Backlinks of every site; 0 lets each site have its own number.
    int size = 0;
    // 0 picks a free port.
    int port = 0;
    // Requests answered side by side.
    int threads = 32;
};

// The demo web: one HTTP server on 127.0.0.1 that answers for every host name
// of the demo (see DemoConfig.h) by the Host header. Reach it by sending every
// connection to ConnectTo().
class DemoWeb {
public:
    explicit DemoWeb(DemoOptions options = {});
    ~DemoWeb();
    DemoWeb(const DemoWeb&) = delete;
    DemoWeb& operator=(const DemoWeb&) = delete;

    // Binds 127.0.0.1 and serves on a thread of its own. Returns "" once it
    // accepts connections, or a message saying why it could not start.
    std::string Start();
    // Ends serving; requests in progress are finished first. Safe to repeat.
    void Stop();

    int Port() const { return port_; }
    // "127.0.0.1:PORT", the value for the connect-to setting.
    std::string ConnectTo() const;
    std::int64_t RequestsAnswered() const { return answered_.load(); }

private:
    DemoOptions options_;
    DemoPages pages_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<std::int64_t> answered_{0};
};

}  // namespace veltrap
