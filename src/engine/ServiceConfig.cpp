#include "engine/ServiceConfig.h"

#include <ini.h>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <string_view>

namespace veltrap {
namespace {

// What the INI handler gathers; inih tells the line of the first refusal.
struct ParseState {
    ServiceConfig config;
    std::string problem;  // the first refusal, without file and line
};

bool ParseWholeNumber(std::string_view text, std::int64_t minimum, std::int64_t& out) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < minimum) {
        return false;
    }
    out = value;
    return true;
}

bool SetService(ServiceEndpoints& services, std::string_view key, std::string_view value,
                std::string& problem) {
    static const std::map<std::string_view, std::string ServiceEndpoints::*> kKeys = {
        {"site_explorer_host", &ServiceEndpoints::siteExplorerHost},
        {"site_explorer_next_marker", &ServiceEndpoints::siteExplorerNextMarker},
        {"google_host", &ServiceEndpoints::googleHost},
        {"yahoo_host", &ServiceEndpoints::yahooHost},
        {"yahoo_next_marker", &ServiceEndpoints::yahooNextMarker},
        {"msn_host", &ServiceEndpoints::msnHost},
        {"pagerank_host", &ServiceEndpoints::pagerankHost},
    };
    const auto found = kKeys.find(key);
    if (found == kKeys.end()) {
        problem = "unknown key '" + std::string(key) + "' in [services]";
        return false;
    }
    // Only the PageRank host may be left empty: it turns the lookups off.
    if (value.empty() && key != "pagerank_host") {
        problem = "key '" + std::string(key) + "' must not be empty";
        return false;
    }
    services.*(found->second) = std::string(value);
    return true;
}

bool SetHttp(HttpOptions& http, std::string_view key, std::string_view value,
             std::string& problem) {
    if (key == "connect_to") {
        if (!value.empty() && !ServiceConfig::IsHostAndPort(value)) {
            problem =
                "key 'connect_to' needs host:port or nothing, not '" + std::string(value) + "'";
            return false;
        }
        http.connectTo = std::string(value);
        return true;
    }
    struct NumberKey {
        std::int64_t minimum;
        const char* what;
    };
    static const std::map<std::string_view, NumberKey> kNumbers = {
        {"connect_timeout_s", {1, "a whole number of seconds above 0"}},
        {"stall_timeout_s", {1, "a whole number of seconds above 0"}},
        {"fetch_timeout_s", {1, "a whole number of seconds above 0"}},
        {"max_body_bytes", {1, "a whole number of bytes above 0"}},
        {"cache_bytes", {0, "a whole number of bytes, 0 or more"}},
    };
    const auto found = kNumbers.find(key);
    if (found == kNumbers.end()) {
        problem = "unknown key '" + std::string(key) + "' in [http]";
        return false;
    }
    std::int64_t number = 0;
    const bool seconds = key.ends_with("_s");
    const std::int64_t maximum =
        seconds ? std::int64_t{24 * 3600} : std::numeric_limits<std::int64_t>::max();
    if (!ParseWholeNumber(value, found->second.minimum, number) || number > maximum) {
        problem = "key '" + std::string(key) + "' needs " + found->second.what + ", not '" +
                  std::string(value) + "'";
        return false;
    }
    if (key == "connect_timeout_s") {
        http.connectTimeoutS = static_cast<long>(number);
    } else if (key == "stall_timeout_s") {
        http.stallTimeoutS = static_cast<long>(number);
    } else if (key == "fetch_timeout_s") {
        http.fetchTimeoutS = static_cast<long>(number);
    } else if (key == "max_body_bytes") {
        http.maxBodyBytes = number;
    } else {
        http.cacheBytes = number;
    }
    return true;
}

int Handler(void* user, const char* section, const char* name, const char* value) {
    auto& state = *static_cast<ParseState*>(user);
    if (!state.problem.empty()) {
        return 0;
    }
    const std::string_view sectionName(section);
    if (sectionName == "services") {
        return SetService(state.config.services, name, value, state.problem) ? 1 : 0;
    }
    if (sectionName == "http") {
        return SetHttp(state.config.http, name, value, state.problem) ? 1 : 0;
    }
    state.problem = sectionName.empty()
                        ? "key '" + std::string(name) + "' stands outside any section"
                        : "unknown section [" + std::string(sectionName) + "]";
    return 0;
}

// The INI reader takes lines of at most this many bytes; a longer one would be
// split into pieces and misread.
constexpr std::size_t kLongestLine = 198;

// inih reports a section header only through the keys below it, so an unknown
// section with no keys is found here, and so are lines too long for it.
std::string CheckLines(const std::string& text, const std::string& name) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.size() > kLongestLine) {
            return name + ":" + std::to_string(number) + ": line longer than " +
                   std::to_string(kLongestLine) + " characters";
        }
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] != '[') {
            continue;
        }
        const auto close = line.find(']', first);
        if (close == std::string::npos) {
            return name + ":" + std::to_string(number) + ": malformed section header";
        }
        const std::string section = line.substr(first + 1, close - first - 1);
        if (section != "services" && section != "http") {
            return name + ":" + std::to_string(number) + ": unknown section [" + section + "]";
        }
    }
    return {};
}

}  // namespace

bool ServiceConfig::IsHostAndPort(std::string_view value) {
    const auto colon = value.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    std::int64_t port = 0;
    return ParseWholeNumber(value.substr(colon + 1), 1, port) && port <= 65535;
}

ServiceConfigResult ServiceConfig::Parse(const std::string& text, const std::string& name) {
    ServiceConfigResult result;
    if (text.find('\0') != std::string::npos) {
        result.error = name + ": the file holds a NUL byte";
        return result;
    }
    result.error = CheckLines(text, name);
    if (!result.error.empty()) {
        return result;
    }
    ParseState state;
    const int line = ini_parse_string(text.c_str(), Handler, &state);
    if (line != 0) {
        const std::string problem =
            state.problem.empty() ? "malformed line (expected key = value)" : state.problem;
        result.error = name + ":" + std::to_string(line) + ": " + problem;
        return result;
    }
    result.config = state.config;
    return result;
}

ServiceConfigResult ServiceConfig::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ServiceConfigResult result;
        result.error = path + ": cannot read the configuration file";
        return result;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(text, path);
}

}  // namespace veltrap
