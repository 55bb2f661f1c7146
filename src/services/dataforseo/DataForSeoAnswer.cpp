#include "services/dataforseo/DataForSeoAnswer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>

namespace veltrap {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kOk = 20000;

std::string Envelope(Json task, int statusCode = kOk, std::string_view message = "Ok.") {
    Json answer;
    answer["version"] = "0.1.20240801";
    answer["status_code"] = statusCode;
    answer["status_message"] = message;
    answer["time"] = "0.0100 sec.";
    answer["cost"] = statusCode == kOk ? 0.02 : 0;
    answer["tasks_count"] = task.is_null() ? 0 : 1;
    answer["tasks_error"] = !task.is_null() && task["status_code"] != kOk ? 1 : 0;
    answer["tasks"] = task.is_null() ? Json::array() : Json::array({std::move(task)});
    // A site asked for may hold bytes that are not UTF-8; they are echoed as
    // replacement characters rather than fail the answer.
    return answer.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json Task(int statusCode, std::string_view message) {
    Json task;
    task["id"] = "07281559-0695-0066-0000-c2d7b3c4a5e6";
    task["status_code"] = statusCode;
    task["status_message"] = message;
    task["path"] = Json::array({"v3", "backlinks", "backlinks", "live"});
    return task;
}

}  // namespace

std::string RenderDataForSeoBacklinks(const DemoSite& site, std::string_view target,
                                      std::int64_t offset, std::int64_t limit) {
    const auto& backlinks = site.Backlinks();
    const auto total = static_cast<std::int64_t>(backlinks.size());
    const std::int64_t first = std::clamp<std::int64_t>(offset, 0, total);
    const std::int64_t end = std::min(total, first + std::max<std::int64_t>(limit, 0));
    Json items = Json::array();
    for (std::int64_t at = first; at < end; ++at) {
        const auto index = static_cast<std::size_t>(at);
        const DemoBacklink& backlink = backlinks[index];
        // A page of the site itself is listed with the site's own address.
        const std::string from = backlink.kind == DemoLinkKind::kOwnPage
                                     ? site.SiteUrl(backlink.url, index % 2 == 0)
                                     : backlink.url;
        Json item;
        item["type"] = "backlink";
        item["url_from"] = from;
        item["url_to"] = site.SiteUrl(backlink.hrefPage, backlink.hrefWww);
        item["anchor"] = backlink.anchorPhrase;
        item["dofollow"] = true;
        items.push_back(std::move(item));
    }
    Json result;
    result["target"] = target;
    result["mode"] = "as_is";
    result["total_count"] = total;
    result["items_count"] = end - first;
    result["items"] = std::move(items);
    Json task = Task(kOk, "Ok.");
    task["result_count"] = 1;
    task["result"] = Json::array({std::move(result)});
    return Envelope(std::move(task));
}

std::string RenderDataForSeoRefusal(int statusCode, std::string_view message) {
    return Envelope(Json(), statusCode, message);
}

std::string RenderDataForSeoTaskError(int statusCode, std::string_view message) {
    Json task = Task(statusCode, message);
    task["result"] = nullptr;
    return Envelope(std::move(task));
}

}  // namespace veltrap
