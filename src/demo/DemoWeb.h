#pragma once

#include "base/Result.h"
#include "demo/DemoPages.h"
#include "demo/server/BackloggedServer.h"

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
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
    // Requests answered side by side. A connection kept alive holds its
    // thread, and a run at the default jobs keeps up to 16 × 9 of them open,
    // so fewer threads would leave new connections waiting on idle ones.
    int threads = 192;
    // One address in this many (by a hash of host and target) is refused with
    // a 503 and "Retry-After: 0" the first time it is asked, as a busy server
    // does; 0 refuses none.
    int refuseFirstOneIn = 0;
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

    // Binds 127.0.0.1 and serves on a thread of its own. Succeeds once it
    // accepts connections; a failure says why it could not start.
    Status Start();
    // Ends serving at once: answers waiting out their latency go at once, and
    // requests in progress are finished first. Safe to repeat.
    void Stop();

    int Port() const { return port_; }
    // "127.0.0.1:PORT", the value for the connect-to setting.
    std::string ConnectTo() const;
    std::int64_t RequestsAnswered() const { return answered_.load(); }
    // The most requests that were being answered at one moment, in all and
    // by one host name, and that host.
    struct Peaks {
        int all = 0;
        int oneHost = 0;
        std::string host;
    };
    Peaks PeakLoad() const;

private:
    void Answer(const httplib::Request& request, httplib::Response& response);
    // Whether to refuse this first ask of the address (refuseFirstOneIn).
    bool RefusedFirst(const std::string& address);
    // Waits out the latency, or less when the server is stopping.
    void Delay();
    void Enter(const std::string& host);
    void Leave(const std::string& host);

    DemoOptions options_;
    DemoPages pages_;
    std::unique_ptr<BackloggedServer> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<std::int64_t> answered_{0};

    mutable std::mutex loadMutex_;
    std::condition_variable stopping_;
    bool stopRequested_ = false;
    int inFlight_ = 0;
    std::map<std::string, int> inFlightByHost_;
    Peaks peaks_;
    // The addresses refused once already.
    std::set<std::string> refused_;
};

}  // namespace veltrap
