#include "services/bingwebmaster/BingWebmasterSource.h"

#include "base/QuotedText.h"
#include "services/bingwebmaster/BingWebmaster.h"

#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace veltrap {

BingWebmasterSource::BingWebmasterSource(std::string apiUrl, std::string key, std::string siteUrl)
    : apiUrl_(std::move(apiUrl)), key_(std::move(key)), siteUrl_(std::move(siteUrl)) {}

std::string BingWebmasterSource::SiteUrl(const std::string& configured,
                                         const std::string& siteKey) {
    if (!configured.empty()) {
        return configured;
    }
    std::string host = siteKey;
    while (host.ends_with('/')) {
        host.pop_back();
    }
    return "https://" + host + "/";
}

Result<std::string> BingWebmasterSource::Probe(const std::string& siteKey, const PageFetch& fetch) {
    const std::string siteUrl = SiteUrl(siteUrl_, siteKey);
    Result<BingLinkPage> read = ReadBingWebmaster(
        fetch(BingWebmasterAddress(apiUrl_, BingCall::kLinkCounts, siteUrl, "", 0, key_)),
        BingCall::kLinkCounts);
    if (!read) {
        return Failure{WithoutSecret("GetLinkCounts for " + siteUrl + ": " + read.reason(), key_)};
    }
    const std::size_t pages = read->urls.size();
    std::string words = std::to_string(pages) + (pages == 1 ? " page" : " pages");
    // Only the first page of the list was asked for; a longer one is told as such.
    if (read->totalPages > 1) {
        words = "at least " + words;
    }
    return words + " of your site have links";
}

DiscoveryOutcome BingWebmasterSource::Discover(const std::string& siteKey, int maxPages,
                                               const PageFetch& fetch,
                                               const std::function<void(std::string url)>& found) {
    const std::string siteUrl = SiteUrl(siteUrl_, siteKey);
    DiscoveryOutcome outcome;
    int requests = 0;
    // Asks one page of a call; a failure ends the discovery, told with the
    // call and its page but never the key.
    const auto ask = [&](BingCall call, const std::string& link,
                         std::int64_t page) -> std::optional<BingLinkPage> {
        ++requests;
        Result<BingLinkPage> read = ReadBingWebmaster(
            fetch(BingWebmasterAddress(apiUrl_, call, siteUrl, link, page, key_)), call);
        if (read) {
            return std::move(read).value();
        }
        outcome.failed = true;
        outcome.failedPage = requests;
        outcome.reason =
            WithoutSecret(std::string(BingCallName(call)) + (link.empty() ? "" : " of " + link) +
                              ", page " + std::to_string(page) + ": " + read.reason(),
                          key_);
        return std::nullopt;
    };

    std::vector<std::string> linked;
    std::set<std::string> listed;
    for (std::int64_t page = 0; page < maxPages; ++page) {
        const std::optional<BingLinkPage> read = ask(BingCall::kLinkCounts, "", page);
        if (!read) {
            return outcome;
        }
        for (const std::string& url : read->urls) {
            if (!url.empty() && listed.insert(url).second) {
                linked.push_back(url);
            }
        }
        if (page + 1 >= read->totalPages) {
            break;
        }
    }
    std::set<std::string> seen;
    for (const std::string& link : linked) {
        for (std::int64_t page = 0; page < maxPages; ++page) {
            const std::optional<BingLinkPage> read = ask(BingCall::kUrlLinks, link, page);
            if (!read) {
                return outcome;
            }
            for (const std::string& url : read->urls) {
                if (!url.empty() && seen.insert(url).second) {
                    found(url);
                }
            }
            if (page + 1 >= read->totalPages) {
                break;
            }
        }
    }
    return outcome;
}

}  // namespace veltrap
