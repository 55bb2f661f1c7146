#pragma once

namespace veltrap::testing {

// A listening TCP socket on 127.0.0.1 at a port the system picks, for the
// raw-socket test servers.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return port_; }
    // The next connection, or -1 when none came within waitMs, so that the
    // caller's loop can look at its own stop flag between waits.
    int Accept(int waitMs) const;

private:
    int socket_ = -1;
    int port_ = 0;
};

}  // namespace veltrap::testing
