#include "services/openpagerank/OpenPageRankAnswer.h"

#include "demoworld/DemoHash.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace veltrap {

std::string RenderOpenPageRankAnswer(const std::vector<std::string>& domains) {
    nlohmann::json entries = nlohmann::json::array();
    for (const std::string& domain : domains) {
        const std::uint64_t roll = DemoHash(domain).Add("openpagerank").Value();
        if (roll % 100 < 6) {
            entries.push_back({{"status_code", 404},
                               {"error", "Domain not found"},
                               {"page_rank_integer", 0},
                               {"page_rank_decimal", 0},
                               {"rank", nullptr},
                               {"domain", domain}});
            continue;
        }
        // Hundredths from 0.50 to 9.99; the integer is the rounded decimal.
        const std::uint64_t hundredths = 50 + (roll / 100) % 950;
        entries.push_back({{"status_code", 200},
                           {"error", ""},
                           {"page_rank_integer", (hundredths + 50) / 100},
                           {"page_rank_decimal", static_cast<double>(hundredths) / 100.0},
                           {"rank", std::to_string(1 + (roll / 100000) % 9000000)},
                           {"domain", domain}});
    }
    // A host scraped from a page may hold bytes that are not UTF-8; they are
    // echoed as replacement characters rather than fail the answer.
    return nlohmann::json{{"status_code", 200}, {"response", entries}}.dump(
        -1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string RenderOpenPageRankRefusal() {
    return nlohmann::json{{"status_code", 401}, {"error", "Invalid API Key"}}.dump();
}

}  // namespace veltrap
