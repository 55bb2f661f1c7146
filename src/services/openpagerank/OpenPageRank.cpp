#include "services/openpagerank/OpenPageRank.h"

#include "base/AsciiCase.h"
#include "base/JsonNesting.h"
#include "net/EscapeQueryValue.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace veltrap {
namespace {

using Json = nlohmann::json;

constexpr std::int64_t kLowestRank = 0;
constexpr std::int64_t kHighestRank = 10;

std::optional<std::int64_t> IntegerField(const Json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_number_integer()) {
        return std::nullopt;
    }
    return found->get<std::int64_t>();
}

std::string TextField(const Json& object, const char* name) {
    const auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

// Why the whole answer is unusable, or "" when its entries can be read.
std::string AnswerProblem(const PageAnswer& answer, const Json& body, bool tooDeep) {
    if (answer.answered && (answer.status == 401 || answer.status == 403)) {
        return "HTTP " + std::to_string(answer.status) + ": the key was refused";
    }
    if (!answer.Usable()) {
        return answer.Problem();
    }
    if (answer.status != 200) {
        return "HTTP " + std::to_string(answer.status);
    }
    if (body.is_discarded()) {
        return tooDeep ? TooDeeplyNestedProblem() : "the answer is not JSON";
    }
    if (!body.is_object()) {
        return "the answer is not an Open PageRank answer";
    }
    const std::optional<std::int64_t> status = IntegerField(body, "status_code");
    if (status != 200) {
        const std::string error = TextField(body, "error");
        return "status " + (status ? std::to_string(*status) : std::string("missing")) +
               (error.empty() ? "" : " (" + error + ")");
    }
    const auto response = body.find("response");
    if (response == body.end() || !response->is_array()) {
        return "the answer has no response list";
    }
    return {};
}

LookupOutcome ReadEntry(const Json& entry, const std::string& domain) {
    const std::optional<std::int64_t> status = IntegerField(entry, "status_code");
    if (status == 200) {
        const std::optional<std::int64_t> rank = IntegerField(entry, "page_rank_integer");
        if (!rank || *rank < kLowestRank || *rank > kHighestRank) {
            return LookupOutcome::Failed("a malformed entry for " + domain);
        }
        return LookupOutcome::Found(static_cast<std::int32_t>(*rank));
    }
    if (status == 404) {
        return LookupOutcome::NotFound();
    }
    if (!status) {
        return LookupOutcome::Failed("a malformed entry for " + domain);
    }
    const std::string error = TextField(entry, "error");
    return LookupOutcome::Failed("status " + std::to_string(*status) + " for " + domain +
                                 (error.empty() ? "" : " (" + error + ")"));
}

// Parses the answer keeping, of the objects in its top-level lists, only the
// first entry of each domain asked: the rest are never read, and a list of a
// million entries then costs no memory and little time.
Json ParseKeepingAskedEntries(const std::string& text, const std::vector<std::string>& domains) {
    const std::set<std::string> asked(domains.begin(), domains.end());
    std::set<std::string> kept;
    const Json::parser_callback_t keep = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::array_start && depth == 1) {
            // A repeated key replaces the list before it, entries and all.
            kept.clear();
        } else if (event == Json::parse_event_t::object_end && depth == 2) {
            const std::string domain = LowerAscii(TextField(parsed, "domain"));
            return asked.contains(domain) && kept.insert(domain).second;
        }
        return true;
    };
    return Json::parse(text, keep, false);
}

}  // namespace

std::string OpenPageRankAddress(const std::string& apiUrl,
                                const std::vector<std::string>& domains) {
    std::string address = apiUrl;
    char separator = apiUrl.find('?') == std::string::npos ? '?' : '&';
    for (const std::string& domain : domains) {
        address += separator;
        address += "domains[]=" + EscapeQueryValue(domain);
        separator = '&';
    }
    return address;
}

std::vector<LookupOutcome> ReadOpenPageRank(const PageAnswer& answer,
                                            const std::vector<std::string>& domains) {
    const bool tooDeep = JsonNestsDeeperThan(answer.body);
    const Json body =
        tooDeep ? Json(Json::value_t::discarded) : ParseKeepingAskedEntries(answer.body, domains);
    if (const std::string problem = AnswerProblem(answer, body, tooDeep); !problem.empty()) {
        return std::vector<LookupOutcome>(domains.size(), LookupOutcome::Failed(problem));
    }
    // The first entry of each domain counts, however the service spells it.
    std::map<std::string, const Json*> entries;
    for (const Json& entry : body.at("response")) {
        if (entry.is_object()) {
            entries.emplace(LowerAscii(TextField(entry, "domain")), &entry);
        }
    }
    std::vector<LookupOutcome> outcomes;
    outcomes.reserve(domains.size());
    for (const std::string& domain : domains) {
        const auto found = entries.find(domain);
        outcomes.push_back(found == entries.end() ? LookupOutcome::Failed("no entry for " + domain)
                                                  : ReadEntry(*found->second, domain));
    }
    return outcomes;
}

}  // namespace veltrap
