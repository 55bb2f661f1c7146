#pragma once

#include "demo/server/BackloggedServer.h"

#include <cstddef>
#include <string>
#include <thread>

namespace veltrap::testing {

// An HTTP server on 127.0.0.1 with an ephemeral port, run on its own thread for
// the lifetime of the object. Register handlers on Server() before Start().
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& Server() { return server_; }

    // Binds, starts serving and waits until the server accepts connections.
    void Start();
    void Stop();

    int Port() const { return port_; }
    // "127.0.0.1:PORT", the value for a connect-to setting.
    std::string Address() const;

private:
    // More than a run at the most jobs keeps open at once.
    static constexpr std::size_t kThreads = 96;

    BackloggedServer server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace veltrap::testing
