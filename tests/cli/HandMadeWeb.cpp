#include "HandMadeWeb.h"

#include <algorithm>
#include <optional>

namespace veltrap::testing {
namespace {

constexpr const char* kNextArrow = "http://img.test/i/us/search/gr/ar_next.gif";

std::string ExplorerPage(const std::vector<std::string>& urls, bool next) {
    std::string page = "<html><body><h1>Inbound links</h1><ol>";
    for (const auto& url : urls) {
        page += "<li><a class=\"yschttl\" href=\"" + url + "\">" + url + "</a></li>\n";
    }
    page += "</ol>";
    if (next) {
        page += "<a href=\"/next\"><img src=\"" + std::string(kNextArrow) + "\"></a>";
    }
    return page + "</body></html>";
}

std::string Page(const std::string& body) {
    return "<html><head><title>A page</title></head><body>" + body + "</body></html>";
}

std::vector<std::string> Fillers(int from, int count) {
    std::vector<std::string> urls;
    for (int n = from; n < from + count; ++n) {
        urls.push_back("http://filler" + std::to_string(n) + ".test/");
    }
    return urls;
}

std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace

HandMadeWeb::HandMadeWeb() {
    std::vector<std::string> first = {"http://a.example/links.html"};
    for (int n = 1; n <= 45; ++n) {
        first.push_back("http://mysite.test/own-" + std::to_string(n));
    }
    first.insert(first.end(), {"http://b.example/page.html", "http://c.example/blog/post.html",
                               "http://d.example/nolink.html", "http://e.example/"});
    const std::string explorer = "explorer.test/search?p=mysite.test&bwm=i&bwmf=s&b=";
    pages_[explorer + "1"] = ExplorerPage(first, true);
    pages_[explorer + "51"] =
        ExplorerPage({"http://a.example/links.html", "http://g.example/gone.html"}, false);
    pages_[explorer + "101"] = ExplorerPage({"http://never.example/"}, false);

    pages_["a.example/links.html"] =
        Page("<p>Friends of ours:</p><a href=\"http://mysite.test/products.html\">My Site</a>");
    pages_["b.example/page.html"] = Page(
        "<ul><li><a href=\"http://www.mysite.test/about.html\">  Best   Widgets. </a></li></ul>");
    pages_["c.example/blog/post.html"] = Page(
        "<a href=\"http://mysite.test/contact.html\" alt=\"Contact Page\">"
        "<img src=\"/c.gif\"></a>");
    pages_["d.example/nolink.html"] =
        Page("<p>We have heard of mysite.test, but we do not link to it.</p>");
    pages_["e.example/"] = Page("<A HREF=\"http://MySite.test/\">Cheap Gadgets</A>");

    pages_["mysite.test/"] = Page(
        "<p>Friends: b.example</p><a href=\"/partners.html\">Partners</a> "
        "<a href=\"news.html\">News</a> <a href=\"http://other.test/\">Elsewhere</a>");
    pages_["mysite.test/products.html"] = Page("Thanks to a.example for the kind words.");
    pages_["www.mysite.test/about.html"] = Page("About us.");
    pages_["mysite.test/contact.html"] = Page("Write to us.");
    pages_["mysite.test/partners.html"] = Page("Our partner: c.example");
    pages_["mysite.test/news.html"] = Page("Nothing new.");

    const auto rank = [this](const std::string& page, const std::string& value) {
        pages_["pagerank.test/?" + page] =
            "<p>Your pagerank is: <font color=\"green\">" + value + "</font></p>";
    };
    rank("http://a.example/links.html", "5");
    rank("http://a.example", "7");
    rank("http://b.example/page.html", "4");
    rank("http://b.example", "6");
    rank("http://e.example/", "n/a");
    rank("http://e.example", "2");

    // One ranked list per keyphrase, the same on every engine.
    results_["my site"] = Join({Fillers(1, 2),
                                {"http://mysite.test/"},
                                Fillers(3, 9),
                                {"http://a.example/links.html"},
                                Fillers(12, 1)});
    results_["best widgets"] = Join({{"http://b.example/page.html"}, Fillers(1, 11)});
    results_["cheap gadgets"] =
        Join({Fillers(1, 25), {"http://mysite.test/"}, Fillers(26, 9), {"http://e.example/"}});

    server_.Server().Get(".*", [this](const httplib::Request& request,
                                      httplib::Response& response) { Answer(request, response); });
    server_.Start();
}

HandMadeWeb::~HandMadeWeb() {
    Release();
    server_.Stop();
}

std::string HandMadeWeb::ConfigText() {
    return "[services]\n"
           "site_explorer_host = explorer.test\n"
           "site_explorer_next_marker = " +
           std::string(kNextArrow) +
           "\n"
           "google_host = google.test\n"
           "yahoo_host = yahoo.test\n"
           "yahoo_next_marker = " +
           std::string(kNextArrow) +
           "\n"
           "msn_host = msn.test\n"
           "pagerank_host = pagerank.test\n"
           "[http]\n"
           "connect_to = 127.0.0.1:9\n"
           "connect_timeout_s = 5\n";
}

std::vector<std::string> HandMadeWeb::Asked() {
    std::lock_guard lock(mutex_);
    return asked_;
}

bool HandMadeWeb::WasAsked(const std::string& hostAndTarget) {
    const auto asked = Asked();
    return std::find(asked.begin(), asked.end(), hostAndTarget) != asked.end();
}

void HandMadeWeb::SetPage(const std::string& hostAndTarget, const std::string& body) {
    std::lock_guard lock(mutex_);
    pages_[hostAndTarget] = Page(body);
}

void HandMadeWeb::RemovePage(const std::string& hostAndTarget) {
    std::lock_guard lock(mutex_);
    pages_.erase(hostAndTarget);
}

void HandMadeWeb::ListOnSecondPage(const std::vector<std::string>& urls) {
    std::lock_guard lock(mutex_);
    pages_["explorer.test/search?p=mysite.test&bwm=i&bwmf=s&b=51"] = ExplorerPage(urls, false);
}

void HandMadeWeb::SetStatus(const std::string& hostAndTarget, int status) {
    std::lock_guard lock(mutex_);
    statuses_[hostAndTarget] = status;
}

void HandMadeWeb::BreakPage(const std::string& hostAndTarget, Break how) {
    std::lock_guard lock(mutex_);
    broken_[hostAndTarget] = how;
}

void HandMadeWeb::Hold(const std::string& hostAndTarget) {
    std::lock_guard lock(mutex_);
    held_ = hostAndTarget;
}

bool HandMadeWeb::WaitUntilHeld(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return holding_; });
}

void HandMadeWeb::Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

void HandMadeWeb::Answer(const httplib::Request& request, httplib::Response& response) {
    const std::string host = request.get_header_value("Host");
    const std::string key = host + request.target;
    std::optional<std::string> page;
    {
        std::unique_lock lock(mutex_);
        asked_.push_back(key);
        if (!held_.empty() && key == held_) {
            held_.clear();
            holding_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
        if (const auto found = pages_.find(key); found != pages_.end()) {
            page = found->second;
        }
        if (const auto found = statuses_.find(key); found != statuses_.end()) {
            response.status = found->second;
            response.set_content(Page("<p>Not for you.</p>"), "text/html");
            return;
        }
        if (const auto found = broken_.find(key); found != broken_.end()) {
            const std::string half = Page(std::string(4000, ' '));
            const bool stall = found->second == Break::kStall;
            response.set_content_provider(
                half.size() * 2, "text/html",
                [this, half, stall](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        sink.write(half.data(), half.size());
                        return true;
                    }
                    if (stall) {
                        std::unique_lock hold(mutex_);
                        changed_.wait(hold, [this] { return released_; });
                    }
                    return false;
                });
            return;
        }
    }
    if (host == "google.test" || host == "yahoo.test" || host == "msn.test") {
        response.set_content(SearchPage(host, request), "text/html");
        return;
    }
    if (!page) {
        response.status = 404;
        response.set_content("<html><body>Not Found</body></html>", "text/html");
        return;
    }
    response.set_content(*page, "text/html");
}

std::string HandMadeWeb::SearchPage(const std::string& host,
                                    const httplib::Request& request) const {
    const bool google = host == "google.test";
    const bool yahoo = host == "yahoo.test";
    const std::string phrase = request.get_param_value(yahoo ? "p" : "q");
    const std::string startKey = google ? "start" : yahoo ? "b" : "first";
    const int start = std::stoi(request.get_param_value(startKey));
    const std::size_t first = static_cast<std::size_t>(google ? start : start - 1);

    const auto found = results_.find(phrase);
    const std::vector<std::string> none;
    const std::vector<std::string>& all = found == results_.end() ? none : found->second;
    const bool next = all.size() > first + 10;

    std::string page = "<html><body><form><input name=q value=\"" + phrase + "\"></form>";
    if (yahoo) {
        page += "<h2>Web Results</h2>";
    }
    if (host == "msn.test") {
        page += "<div id=\"results\"><ul>";
    }
    for (std::size_t n = first; n < all.size() && n < first + 10; ++n) {
        if (google) {
            page += "<h3><a class=l href=\"" + all[n] + "\">Result</a></h3>";
        } else if (yahoo) {
            page += "<div><a class=yschttl href=\"" + all[n] + "\">Result</a></div>";
        } else {
            page += "<li class=\"first\"><h3><a href=\"" + all[n] + "\">Result</a></h3></li>";
        }
    }
    if (next) {
        if (google) {
            page += "<a href=\"/more\"><img src=/nav_next.gif></a>";
        } else if (yahoo) {
            page += "<a href=\"/more\"><img src=\"" + std::string(kNextArrow) + "\"></a>";
        } else {
            page += "<li><a href=\"/more\">Next</a></li>";
        }
    }
    return page + "</body></html>";
}

}  // namespace veltrap::testing
