#pragma once

#include "base/Result.h"
#include "net/PageAnswer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The two calls of Bing Webmaster Tools' JSON API that discovery makes: the
// pages of the site that have links, and the pages linking to one of them.
enum class BingCall { kLinkCounts, kUrlLinks };

// "GetLinkCounts" or "GetUrlLinks".
std::string_view BingCallName(BingCall call);

// The address of one call: "{apiUrl}/GetLinkCounts?siteUrl=..&page=P&apikey=.."
// or, for the pages linking to link, "{apiUrl}/GetUrlLinks?siteUrl=..&link=..
// &page=P&apikey=..", every value escaped.
std::string BingWebmasterAddress(std::string_view apiUrl, BingCall call, std::string_view siteUrl,
                                 std::string_view link, std::int64_t page, std::string_view key);

// One page of a call's answer: the Url of every entry of its list ("Links" or
// "Details") in order, and the number of pages the list has.
struct BingLinkPage {
    std::vector<std::string> urls;
    std::int64_t totalPages = 0;
};

// Reads an answer of the call, {"d": {"Links": [{"Url": ...}, ...],
// "TotalPages": N}} or the same with "Details". Members it does not know
// ("__type", "Count", "AnchorText") are passed over; a null list is an empty
// one. Anything else fails, saying why: no answer, an HTTP status other than
// 200, a body that is not this JSON; where Bing explained itself
// ({"ErrorCode": 3, "Message": "InvalidApiKey"}) the reason quotes it.
Result<BingLinkPage> ReadBingWebmaster(const PageAnswer& answer, BingCall call);

}  // namespace veltrap
