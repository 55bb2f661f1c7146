#include "services/bingwebmaster/BingWebmaster.h"

#include "base/JsonNesting.h"
#include "base/QuotedText.h"
#include "net/EscapeQueryValue.h"

#include <nlohmann/json.hpp>

namespace veltrap {
namespace {

using Json = nlohmann::json;

// Bing's own account of a refusal, "Bing says "InvalidApiKey" (ErrorCode 3)",
// or "" when the body gives none.
std::string BingsWords(const Json& body) {
    if (!body.is_object()) {
        return {};
    }
    const auto message = body.find("Message");
    const auto code = body.find("ErrorCode");
    const bool hasMessage = message != body.end() && message->is_string();
    const bool hasCode = code != body.end() && code->is_number_integer();
    if (!hasMessage && !hasCode) {
        return {};
    }
    std::string words = "Bing says";
    if (hasMessage) {
        words += " " + QuotedText(message->get<std::string>());
    }
    if (hasCode) {
        words += (hasMessage ? " (ErrorCode " : " ErrorCode ") +
                 std::to_string(code->get<std::int64_t>()) + (hasMessage ? ")" : "");
    }
    return words;
}

Json Parsed(const std::string& text) {
    if (JsonNestsDeeperThan(text)) {
        return Json(Json::value_t::discarded);
    }
    return Json::parse(text, nullptr, false);
}

}  // namespace

std::string_view BingCallName(BingCall call) {
    return call == BingCall::kLinkCounts ? "GetLinkCounts" : "GetUrlLinks";
}

std::string BingWebmasterAddress(std::string_view apiUrl, BingCall call, std::string_view siteUrl,
                                 std::string_view link, std::int64_t page, std::string_view key) {
    std::string address(apiUrl);
    while (address.ends_with('/')) {
        address.pop_back();
    }
    address += "/" + std::string(BingCallName(call)) + "?siteUrl=" + EscapeQueryValue(siteUrl);
    if (call == BingCall::kUrlLinks) {
        address += "&link=" + EscapeQueryValue(link);
    }
    return address + "&page=" + std::to_string(page) + "&apikey=" + EscapeQueryValue(key);
}

Result<BingLinkPage> ReadBingWebmaster(const PageAnswer& answer, BingCall call) {
    if (!answer.answered) {
        return Failure{answer.Problem()};
    }
    const Json body = Parsed(answer.body);
    const std::string words = body.is_discarded() ? std::string() : BingsWords(body);
    if (answer.status != 200 || answer.refused || answer.tooManyRedirects) {
        const std::string problem =
            answer.Usable() ? "HTTP " + std::to_string(answer.status) : answer.Problem();
        return Failure{words.empty() ? problem : problem + ": " + words};
    }
    if (answer.cut) {
        return Failure{"the answer was cut at the body size limit"};
    }
    if (!words.empty()) {
        return Failure{words};
    }
    if (body.is_discarded()) {
        return Failure{JsonNestsDeeperThan(answer.body) ? TooDeeplyNestedProblem()
                                                        : "the answer is not JSON"};
    }
    const char* listName = call == BingCall::kLinkCounts ? "Links" : "Details";
    const std::string notDescribed = "the answer is not a " + std::string(BingCallName(call)) +
                                     " answer (no \"d\" with \"" + listName +
                                     "\" and \"TotalPages\")";
    if (!body.is_object() || !body.contains("d") || !body.at("d").is_object()) {
        return Failure{notDescribed};
    }
    const Json& d = body.at("d");
    const auto total = d.find("TotalPages");
    const auto list = d.find(listName);
    if (total == d.end() || !total->is_number_integer() || list == d.end() ||
        !(list->is_array() || list->is_null())) {
        return Failure{notDescribed};
    }
    BingLinkPage page;
    page.totalPages = total->get<std::int64_t>();
    if (list->is_null()) {
        return page;
    }
    for (const Json& entry : *list) {
        const auto url = entry.find("Url");
        if (url == entry.end() || !url->is_string()) {
            return Failure{"an entry of \"" + std::string(listName) + "\" has no \"Url\""};
        }
        page.urls.push_back(url->get<std::string>());
    }
    return page;
}

}  // namespace veltrap
