#pragma once

#include <cstdint>
#include <string>

namespace veltrap {

// How the retriever reaches the web, and the bounds on every fetch.
struct HttpOptions {
    static constexpr const char* kDefaultUserAgent = "Ostrana HTTP Retriever 1.0";
    static constexpr std::int64_t kDefaultMaxSitePages = 10000;

    // "host:port" that every connection goes to while URLs and Host headers stay
    // as they are; empty sends each request to the URL's own host.
    std::string connectTo;
    long connectTimeoutS = 10;
    // A transfer that receives no byte for this long is given up.
    long stallTimeoutS = 20;
    // The most one attempt may take from start to end.
    long fetchTimeoutS = 60;
    // A body that reaches this size ends the read; what was read is kept.
    std::int64_t maxBodyBytes = 8 * 1024 * 1024;
    // Bodies of one run kept for repeated requests of the same address.
    std::int64_t cacheBytes = 256 * 1024 * 1024;
    // A job examines one record, whose lookups (two authority lookups, six
    // rank checks and the reciprocal check) are in flight side by side.
    static constexpr int kTransfersPerJob = 9;

    // Records examined side by side; with kTransfersPerJob, the transfers in
    // flight at once.
    int jobs = 16;
    // Transfers one host answers at once.
    int perHostConnections = 4;
    // The least time between the starts of two requests to one host.
    long perHostDelayMs = 0;
    // The longest a Retry-After is waited out.
    long retryAfterMaxS = 120;
    // The most distinct pages one walk of the profiled site fetches, so that a
    // start page of a million links cannot keep a run going for days.
    std::int64_t maxSitePages = kDefaultMaxSitePages;
    std::string userAgent = kDefaultUserAgent;
    // The certificates a server's own is checked against (a PEM file); empty
    // takes the system's.
    std::string caFile;
    // Empty connects directly; "system" follows the environment's
    // http_proxy, https_proxy and no_proxy; anything else is the address of
    // the one proxy every request goes through (see ProxyAddress).
    std::string proxy;
};

}  // namespace veltrap
