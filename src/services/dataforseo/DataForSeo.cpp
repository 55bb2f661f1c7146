#include "services/dataforseo/DataForSeo.h"

#include "base/JsonNesting.h"
#include "base/QuotedText.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace veltrap {
namespace {

using Json = nlohmann::json;

constexpr std::int64_t kOk = 20000;

std::optional<std::int64_t> StatusCode(const Json& object) {
    const auto found = object.find("status_code");
    if (found == object.end() || !found->is_number_integer()) {
        return std::nullopt;
    }
    return found->get<std::int64_t>();
}

// DataForSEO's own account of a status, "DataForSEO says "..." (status 40100)",
// or "" when the object carries neither.
std::string ServiceWords(const Json& object) {
    if (!object.is_object()) {
        return {};
    }
    const std::optional<std::int64_t> status = StatusCode(object);
    const auto message = object.find("status_message");
    const bool hasMessage = message != object.end() && message->is_string();
    if (!status && !hasMessage) {
        return {};
    }
    std::string words = "DataForSEO says";
    if (hasMessage) {
        words += " " + QuotedText(message->get<std::string>());
    }
    if (status) {
        words += hasMessage ? " (status " + std::to_string(*status) + ")"
                            : " status " + std::to_string(*status);
    }
    return words;
}

Result<DataForSeoPage> ReadResult(const Json& body) {
    const Failure notDescribed{"the answer is not a DataForSEO backlinks answer"};
    const auto tasks = body.find("tasks");
    if (tasks == body.end() || !tasks->is_array() || tasks->empty() ||
        !tasks->front().is_object()) {
        return notDescribed;
    }
    const Json& task = tasks->front();
    if (StatusCode(task) != kOk) {
        const std::string words = ServiceWords(task);
        return Failure{words.empty() ? "the task has no status_code" : "the task failed: " + words};
    }
    const auto result = task.find("result");
    if (result == task.end() || !result->is_array() || result->empty() ||
        !result->front().is_object()) {
        return notDescribed;
    }
    const Json& first = result->front();
    const auto total = first.find("total_count");
    const auto items = first.find("items");
    if (total == first.end() || !total->is_number_integer() || items == first.end() ||
        !(items->is_array() || items->is_null())) {
        return notDescribed;
    }
    DataForSeoPage page;
    page.totalCount = total->get<std::int64_t>();
    if (items->is_null()) {
        return page;
    }
    for (const Json& item : *items) {
        const auto from = item.find("url_from");
        if (from == item.end() || !from->is_string()) {
            return Failure{"an item has no \"url_from\""};
        }
        page.urls.push_back(from->get<std::string>());
    }
    return page;
}

}  // namespace

std::string DataForSeoRequestBody(std::string_view target, std::int64_t offset,
                                  std::int64_t limit) {
    nlohmann::ordered_json task;
    task["target"] = target;
    task["mode"] = "as_is";
    task["limit"] = limit;
    task["offset"] = offset;
    // A site key is bytes; any that are not UTF-8 go as replacement characters
    // rather than fail the request.
    return nlohmann::ordered_json::array({task}).dump(-1, ' ', false,
                                                      Json::error_handler_t::replace);
}

Result<DataForSeoPage> ReadDataForSeo(const PageAnswer& answer) {
    if (!answer.answered) {
        return Failure{answer.Problem()};
    }
    const bool tooDeep = JsonNestsDeeperThan(answer.body);
    const Json body =
        tooDeep ? Json(Json::value_t::discarded) : Json::parse(answer.body, nullptr, false);
    if (answer.status != 200 || answer.refused || answer.tooManyRedirects) {
        const std::string problem =
            answer.Usable() ? "HTTP " + std::to_string(answer.status) : answer.Problem();
        const std::string words = body.is_discarded() ? std::string() : ServiceWords(body);
        return Failure{words.empty() ? problem : problem + ": " + words};
    }
    if (answer.cut) {
        return Failure{"the answer was cut at the body size limit"};
    }
    if (body.is_discarded()) {
        return Failure{tooDeep ? TooDeeplyNestedProblem() : "the answer is not JSON"};
    }
    if (!body.is_object()) {
        return Failure{"the answer is not a DataForSEO backlinks answer"};
    }
    if (StatusCode(body) != kOk) {
        const std::string words = ServiceWords(body);
        return Failure{words.empty() ? "the answer has no status_code" : words};
    }
    return ReadResult(body);
}

}  // namespace veltrap
