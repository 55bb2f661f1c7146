#pragma once

#include "support/LoopbackServer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace veltrap::testing {

// A small web for whole runs, served on one loopback server under many host
// names: backlink result pages for mysite.test, linking pages, the site's own
// pages, PageRank answers and the three search engines. One page can be held
// back until the test lets it go.
class HandMadeWeb {
public:
    HandMadeWeb();
    ~HandMadeWeb();

    std::string Address() const { return server_.Address(); }
    // The service configuration that names the web's hosts; its connect_to
    // points nowhere, so a run must be given the server's address.
    static std::string ConfigText();

    // Every request as host name and target, in arrival order.
    std::vector<std::string> Asked();
    bool WasAsked(const std::string& hostAndTarget);

    // Changes the web between runs: a page with this body from now on, or a
    // page that answers 404.
    void SetPage(const std::string& hostAndTarget, const std::string& body);
    void RemovePage(const std::string& hostAndTarget);
    // The source's second result page lists these pages instead.
    void ListOnSecondPage(const std::vector<std::string>& urls);
    // The page answers with this status and a body without the link.
    void SetStatus(const std::string& hostAndTarget, int status);
    // The page announces a body that holds the link in its second half, sends
    // the first half and then holds (until the web ends) or closes.
    enum class Break { kStall, kClose };
    void BreakPage(const std::string& hostAndTarget, Break how);

    // The next request for hostAndTarget waits until Release().
    void Hold(const std::string& hostAndTarget);
    bool WaitUntilHeld(std::chrono::milliseconds timeout);
    void Release();

private:
    void Answer(const httplib::Request& request, httplib::Response& response);
    std::string SearchPage(const std::string& host, const httplib::Request& request) const;

    LoopbackServer server_;
    std::map<std::string, std::vector<std::string>> results_;

    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::map<std::string, int> statuses_;
    std::map<std::string, Break> broken_;
    std::condition_variable changed_;
    std::vector<std::string> asked_;
    std::string held_;
    bool holding_ = false;
    bool released_ = false;
};

}  // namespace veltrap::testing
