#pragma once

#include "support/LoopbackListener.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veltrap::testing {

class SelfSignedTls;

// A bare TCP server on 127.0.0.1 for what an HTTP library will not do on
// purpose: it reads each request's head, sends connection i the bytes of
// replies[i] (the last entry for every later connection) and closes. An empty
// reply closes the connection without a word. With tls set, every connection
// is wrapped in TLS with a freshly made self-signed certificate.
class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<std::string> replies, bool tls = false);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return listener_.Port(); }
    // Connections accepted so far.
    int Connections() const { return connections_.load(); }
    // The request heads read so far, in the order they came.
    std::vector<std::string> Heads() const;

private:
    void Serve();
    void Answer(int socket, const std::string& reply);

    std::vector<std::string> replies_;
    // Only when tls is set; declared ahead so that tests need no TLS headers.
    std::unique_ptr<SelfSignedTls> tls_;
    LoopbackListener listener_{16};
    std::atomic<int> connections_{0};
    mutable std::mutex headsMutex_;
    std::vector<std::string> heads_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace veltrap::testing
