// Counts new HTTPS connections a second: one fetch from each of 1,000 host
// names, all sent through connect_to to one loopback TLS server whose
// certificate covers them all, so that every fetch opens a connection of its
// own. The run's own session (scheduler, share, certificate checks) carries
// the fetches, from as many callers as a run at the default jobs has. The
// server is then timed alone, with plain OpenSSL clients, to show its own
// bound on this machine.
//
//   tls_connect_bench [HOSTS] [CALLERS]

#include "net/CurlGlobal.h"
#include "net/HttpRetriever.h"
#include "net/HttpSession.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kResponse =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 2\r\n"
    "Connection: close\r\n\r\nok";

void Check(bool done, const char* what) {
    if (!done) {
        throw std::runtime_error(what);
    }
}

// A certificate for every name under bench.test, signed by its own key and
// so its own authority, written where the clients read it.
struct Certificate {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{EVP_EC_gen("P-256"), &EVP_PKEY_free};
    std::unique_ptr<X509, decltype(&X509_free)> x509{X509_new(), &X509_free};

    explicit Certificate(const std::filesystem::path& pemFile) {
        Check(key && x509, "cannot make a key");
        X509* cert = x509.get();
        X509_NAME* name = X509_get_subject_name(cert);
        Check(X509_set_version(cert, 2) == 1 &&
                  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1) == 1 &&
                  X509_gmtime_adj(X509_getm_notBefore(cert), -3600) != nullptr &&
                  X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600) != nullptr &&
                  X509_set_pubkey(cert, key.get()) == 1 &&
                  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                             reinterpret_cast<const unsigned char*>("bench.test"),
                                             -1, -1, 0) == 1 &&
                  X509_set_issuer_name(cert, name) == 1,
              "cannot fill in the certificate");
        for (const auto& [nid, value] : {std::pair{NID_basic_constraints, "critical,CA:TRUE"},
                                         std::pair{NID_subject_alt_name, "DNS:*.bench.test"}}) {
            X509V3_CTX context;
            X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
            X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
            Check(extension != nullptr && X509_add_ext(cert, extension, -1) == 1,
                  "cannot add an extension");
            X509_EXTENSION_free(extension);
        }
        Check(X509_sign(cert, key.get(), EVP_sha256()) > 0, "cannot sign");
        FILE* out = std::fopen(pemFile.c_str(), "w");
        Check(out != nullptr && PEM_write_X509(out, cert) == 1, "cannot write the certificate");
        std::fclose(out);
    }
};

// Accepts on 127.0.0.1 and answers each connection's one request with a
// short page, on a few threads, then closes it.
class TlsServer {
public:
    TlsServer(const Certificate& certificate, int threads)
        : context_(SSL_CTX_new(TLS_server_method()), &SSL_CTX_free) {
        Check(context_ && SSL_CTX_use_certificate(context_.get(), certificate.x509.get()) == 1 &&
                  SSL_CTX_use_PrivateKey(context_.get(), certificate.key.get()) == 1,
              "cannot set up the server");
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Check(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                  listen(listener_, 4096) == 0,
              "cannot listen");
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < threads; ++i) {
            threads_.emplace_back([this] { Serve(); });
        }
    }
    ~TlsServer() {
        stopping_ = true;
        shutdown(listener_, SHUT_RDWR);
        for (std::thread& thread : threads_) {
            thread.join();
        }
        close(listener_);
    }
    int Port() const { return port_; }

private:
    void Serve() {
        while (!stopping_) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0) {
                continue;
            }
            SSL* ssl = SSL_new(context_.get());
            SSL_set_fd(ssl, connection);
            char request[4096];
            if (SSL_accept(ssl) == 1 && SSL_read(ssl, request, sizeof request) > 0) {
                SSL_write(ssl, kResponse, static_cast<int>(std::strlen(kResponse)));
                SSL_shutdown(ssl);
            }
            SSL_free(ssl);
            close(connection);
        }
    }

    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> threads_;
};

std::string HostName(int index) {
    return "h" + std::to_string(index) + ".bench.test";
}

// Fetches https://HOST/ once for each host, from callers side by side, through
// one run's session; answers the connections made a second.
double ThroughSession(int port, const std::filesystem::path& caFile, int hosts, int callers,
                      int& answered) {
    HttpOptions options;
    options.connectTo = "127.0.0.1:" + std::to_string(port);
    options.caFile = caFile.string();
    options.jobs = (callers + HttpOptions::kTransfersPerJob - 1) / HttpOptions::kTransfersPerJob;
    options.cacheBytes = 0;
    HttpSession session(options);
    std::atomic<int> next{0};
    std::atomic<int> ok{0};
    const Clock::time_point begin = Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < callers; ++i) {
        threads.emplace_back([&] {
            for (int host = next++; host < hosts; host = next++) {
                HttpRetriever retriever(session);
                const PageAnswer answer = retriever.Get("https://" + HostName(host) + "/");
                if (answer.answered && answer.body == "ok") {
                    ++ok;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    answered = ok.load();
    return hosts / seconds;
}

// The same connections by plain blocking OpenSSL clients, one a thread, with
// the certificate checked: the most the server gives on this machine.
double PlainClients(int port, const std::filesystem::path& caFile, int hosts, int callers) {
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()),
                                                              &SSL_CTX_free);
    Check(context && SSL_CTX_load_verify_locations(context.get(), caFile.c_str(), nullptr) == 1,
          "cannot set up the client");
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    std::atomic<int> next{0};
    const Clock::time_point begin = Clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < callers; ++i) {
        threads.emplace_back([&] {
            for (int host = next++; host < hosts; host = next++) {
                const int connection = socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in address{};
                address.sin_family = AF_INET;
                address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                address.sin_port = htons(static_cast<std::uint16_t>(port));
                if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) ==
                    0) {
                    SSL* ssl = SSL_new(context.get());
                    SSL_set_fd(ssl, connection);
                    const std::string name = HostName(host);
                    SSL_set_tlsext_host_name(ssl, name.c_str());
                    SSL_set1_host(ssl, name.c_str());
                    const std::string request = "GET / HTTP/1.1\r\nHost: " + name + "\r\n\r\n";
                    char answer[512];
                    if (SSL_connect(ssl) == 1 &&
                        SSL_write(ssl, request.data(), static_cast<int>(request.size())) > 0) {
                        SSL_read(ssl, answer, sizeof answer);
                    }
                    SSL_free(ssl);
                }
                close(connection);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return hosts / std::chrono::duration<double>(Clock::now() - begin).count();
}

}  // namespace
}  // namespace veltrap

int main(int argc, char** argv) {
    using namespace veltrap;
    const int hosts = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int callers = argc > 2 ? std::atoi(argv[2]) : 16 * HttpOptions::kTransfersPerJob;
    const CurlGlobal curl;
    const std::filesystem::path caFile =
        std::filesystem::temp_directory_path() / ("tls-bench-" + std::to_string(getpid()) + ".pem");
    try {
        const Certificate certificate(caFile);
        const TlsServer server(certificate, 4);
        int answered = 0;
        const double session = ThroughSession(server.Port(), caFile, hosts, callers, answered);
        const double plain = PlainClients(server.Port(), caFile, hosts, 4);
        std::printf(
            "%d host names, %d callers: %.0f new HTTPS connections/s through the session "
            "(%d answered); the server alone with 4 plain clients: %.0f/s\n",
            hosts, callers, session, answered, plain);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tls_connect_bench: %s\n", error.what());
        std::filesystem::remove(caFile);
        return 1;
    }
    std::filesystem::remove(caFile);
    return 0;
}
