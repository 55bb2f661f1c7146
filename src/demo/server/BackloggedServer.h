#pragma once

#include <httplib.h>

namespace veltrap {

// An HTTP server whose listening socket queues many connections at once.
// Debian's cpp-httplib listens with a backlog of five, built into its library,
// so a run that opens sixteen connections together has the rest dropped, and
// their clients try again only after a second.
class BackloggedServer : public httplib::Server {
public:
    static constexpr int kBacklog = 256;

    // Call after binding and before listening: widens the queue of the bound
    // socket. Answers false when the socket would not take it.
    bool WidenBacklog();
};

}  // namespace veltrap
