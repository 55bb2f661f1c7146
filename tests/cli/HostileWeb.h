#pragma once

#include "support/LoopbackListener.h"
#include "support/SelfSignedTls.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veltrap::testing {

// A raw-socket web on 127.0.0.1 that misbehaves on purpose, one way per host
// name, for whole runs that must survive it. Hosts not named below answer 404.
// Every connection gets its own thread, and each misbehaviour ends once the
// client goes away or the web is destroyed, so a run that gives up frees it.
//
//   stall.test      reads the request and never answers
//   drip.test       sends its answer one byte a second
//   endless.test    sends a body that never ends
//   loop.test       redirects to itself
//   bighead.test    sends a 2 MB header
//   garbage.test    sends bytes that are not HTTP
//   reset.test      resets the connection
//   slowhead.test   sends its headers one byte a second and never ends them
//   quotes.test     8 MB of href= with the site key and no closing quote
//   angles.test     8 MB of "<"
//
// Any TLS handshake (an https address) is answered with a certificate for
// badtls.test signed by itself, which no client that checks can accept.
class HostileWeb {
public:
    explicit HostileWeb(std::string siteKey);
    ~HostileWeb();
    HostileWeb(const HostileWeb&) = delete;
    HostileWeb& operator=(const HostileWeb&) = delete;

    // "127.0.0.1:PORT", the value for a connect-to setting.
    std::string Address() const;

    // A well-behaved page: this host and target answer 200 with this body.
    void SetPage(const std::string& hostAndTarget, const std::string& body);

private:
    void Accept();
    void Serve(int socket);
    void Misbehave(int socket, const std::string& host);
    // Sends bytes spaced by pause until they run out, the client leaves or the
    // web stops; false when it did not get through them all.
    bool Trickle(int socket, const std::string& bytes, int pauseMs);
    bool SendAll(int socket, const std::string& bytes);

    std::string quotes_;
    std::string angles_;
    SelfSignedTls tls_{"badtls.test"};
    LoopbackListener listener_{128};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

}  // namespace veltrap::testing
