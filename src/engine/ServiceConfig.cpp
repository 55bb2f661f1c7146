#include "engine/ServiceConfig.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "engine/ServiceCatalog.h"
#include "engine/ServiceConfigText.h"
#include "net/ProxyAddress.h"
#include "render/BrowserCommand.h"

#include <ini.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace veltrap {
namespace {

using Role = ServiceDescriptor::Role;

// Every role a service can fill, in the order a run asks them.
constexpr Role kRoles[] = {Role::kBacklinks, Role::kAuthority, Role::kSearch};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::int64_t kDay = 24 * 3600;

// A failure that lies with the configuration being read, not with the system.
Failure Broken(std::string reason) {
    return Failure{std::move(reason), true};
}

// What the INI handler gathers; inih tells the line of the first refusal.
struct ParseState {
    ServiceConfig config;
    std::string problem;  // the first refusal, without file and line
    // Every key given so far, by section; a key given twice is refused, and
    // its section and name kept to find the line that gave it first.
    std::set<std::pair<std::string, std::string>, std::less<>> given;
    std::optional<std::pair<std::string, std::string>> repeated;
};

bool ParseWholeNumber(std::string_view text, std::int64_t& out) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    out = value;
    return true;
}

// The keys of [services] and the hosts they set.
const std::map<std::string_view, std::string ServiceEndpoints::*>& ServiceKeys() {
    static const std::map<std::string_view, std::string ServiceEndpoints::*> kKeys = {
        {"site_explorer_host", &ServiceEndpoints::siteExplorerHost},
        {"site_explorer_next_marker", &ServiceEndpoints::siteExplorerNextMarker},
        {"google_host", &ServiceEndpoints::googleHost},
        {"yahoo_host", &ServiceEndpoints::yahooHost},
        {"yahoo_next_marker", &ServiceEndpoints::yahooNextMarker},
        {"msn_host", &ServiceEndpoints::msnHost},
        {"pagerank_host", &ServiceEndpoints::pagerankHost},
    };
    return kKeys;
}

Status SetService(ServiceEndpoints& services, std::string_view key, std::string_view value) {
    const auto& kKeys = ServiceKeys();
    const auto found = kKeys.find(key);
    if (found == kKeys.end()) {
        return Broken("unknown key '" + std::string(key) + "' in [services]");
    }
    // Only the PageRank host may be left empty: it turns the lookups off.
    if (value.empty() && key != "pagerank_host") {
        return Broken("key '" + std::string(key) + "' must not be empty");
    }
    services.*(found->second) = std::string(value);
    return {};
}

// A whole-number key of [http]: its range, the unit its message names, where
// the value goes and where it is read back.
struct NumberKey {
    std::int64_t minimum;
    std::int64_t maximum;
    const char* unit;
    void (*store)(HttpOptions&, std::int64_t);
    std::int64_t (*read)(const HttpOptions&);
};

const std::map<std::string_view, NumberKey>& NumberKeys() {
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    static const std::map<std::string_view, NumberKey> kKeys = {
        {"connect_timeout_s",
         {1, kDay, "seconds", [](HttpOptions& h, std::int64_t v) { h.connectTimeoutS = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.connectTimeoutS; }}},
        {"stall_timeout_s",
         {1, kDay, "seconds", [](HttpOptions& h, std::int64_t v) { h.stallTimeoutS = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.stallTimeoutS; }}},
        {"fetch_timeout_s",
         {1, kDay, "seconds", [](HttpOptions& h, std::int64_t v) { h.fetchTimeoutS = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.fetchTimeoutS; }}},
        {"max_body_bytes",
         {1, kMost, "bytes", [](HttpOptions& h, std::int64_t v) { h.maxBodyBytes = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.maxBodyBytes; }}},
        {"cache_bytes",
         {0, kMost, "bytes", [](HttpOptions& h, std::int64_t v) { h.cacheBytes = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.cacheBytes; }}},
        {"jobs",
         {1, 256, "jobs", [](HttpOptions& h, std::int64_t v) { h.jobs = static_cast<int>(v); },
          [](const HttpOptions& h) -> std::int64_t { return h.jobs; }}},
        {"per_host_connections",
         {1, 64, "connections",
          [](HttpOptions& h, std::int64_t v) { h.perHostConnections = static_cast<int>(v); },
          [](const HttpOptions& h) -> std::int64_t { return h.perHostConnections; }}},
        {"per_host_delay_ms",
         {0, kDay * 1000, "milliseconds",
          [](HttpOptions& h, std::int64_t v) { h.perHostDelayMs = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.perHostDelayMs; }}},
        {"max_site_pages",
         {1, kMost, "pages", [](HttpOptions& h, std::int64_t v) { h.maxSitePages = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.maxSitePages; }}},
        {"retry_after_max_s",
         {0, kDay, "seconds", [](HttpOptions& h, std::int64_t v) { h.retryAfterMaxS = v; },
          [](const HttpOptions& h) -> std::int64_t { return h.retryAfterMaxS; }}},
    };
    return kKeys;
}

Status SetHttp(HttpOptions& http, std::string_view key, std::string_view value) {
    if (key == "connect_to") {
        if (!value.empty() && !ServiceConfig::IsHostAndPort(value)) {
            return Broken("key 'connect_to' needs host:port or nothing, not '" +
                          std::string(value) + "'");
        }
        http.connectTo = std::string(value);
        return {};
    }
    if (key == "proxy") {
        if (!ProxyAddress::IsValid(value)) {
            // The value may carry a password, which no message shows.
            return Broken(
                "key 'proxy' needs nothing, 'system' or a proxy address such as "
                "http://host:3128 or socks5h://host:1080, not '" +
                ProxyAddress::Masked(value, kMaskedSecret) + "'");
        }
        http.proxy = std::string(value);
        return {};
    }
    if (key == "user_agent") {
        if (value.empty()) {
            return Broken("key 'user_agent' must not be empty");
        }
        http.userAgent = std::string(value);
        return {};
    }
    const auto found = NumberKeys().find(key);
    if (found == NumberKeys().end()) {
        return Broken("unknown key '" + std::string(key) + "' in [http]");
    }
    const NumberKey& rule = found->second;
    std::int64_t number = 0;
    if (!ParseWholeNumber(value, number) || number < rule.minimum || number > rule.maximum) {
        return Broken("key '" + std::string(key) + "' needs a whole number of " + rule.unit +
                      " from " + std::to_string(rule.minimum) + " to " +
                      std::to_string(rule.maximum) + ", not '" + std::string(value) + "'");
    }
    rule.store(http, number);
    return {};
}

// The names of [render]'s modes, in the order of RenderOptions::Mode.
constexpr std::string_view kRenderModes[] = {"off", "fallback", "always"};

Status SetRender(RenderOptions& render, std::string_view key, std::string_view value) {
    if (key == "mode") {
        for (std::size_t n = 0; n < std::size(kRenderModes); ++n) {
            if (value == kRenderModes[n]) {
                render.mode = static_cast<RenderOptions::Mode>(n);
                return {};
            }
        }
        return Broken("key 'mode' in [render] needs off, fallback or always, not '" +
                      std::string(value) + "'");
    }
    if (key == "chromium") {
        if (value.empty()) {
            return Broken("key 'chromium' must not be empty");
        }
        render.chromium = std::string(value);
        return {};
    }
    const auto number = [&](std::int64_t low, std::int64_t high, const char* unit,
                            int& into) -> Status {
        std::int64_t parsed = 0;
        if (!ParseWholeNumber(value, parsed) || parsed < low || parsed > high) {
            return Broken("key '" + std::string(key) + "' needs a whole number of " + unit +
                          " from " + std::to_string(low) + " to " + std::to_string(high) +
                          ", not '" + std::string(value) + "'");
        }
        into = static_cast<int>(parsed);
        return {};
    };
    if (key == "render_jobs") {
        return number(1, 16, "browsers", render.jobs);
    }
    if (key == "render_timeout_s") {
        return number(1, 300, "seconds", render.timeoutS);
    }
    return Broken("unknown key '" + std::string(key) + "' in [render]");
}

bool IsWebUrl(std::string_view value) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (StartsWithNoCase(value, scheme)) {
            const std::string_view rest = value.substr(scheme.size());
            return !rest.empty() && rest.front() != '/' && rest.front() != ':' &&
                   rest.find_first_of(" \t") == std::string_view::npos;
        }
    }
    return false;
}

Status SetServiceSetting(ServiceConfig& config, std::string_view section, std::string_view key,
                         std::string_view value) {
    const ServiceCatalog& catalog = ServiceCatalog::Default();
    for (const Role role : kRoles) {
        const ServiceCatalog::Choice choice = ServiceCatalog::ChoiceOf(role);
        if (section != choice.section || key != choice.key) {
            continue;
        }
        if (catalog.Find(role, value) == nullptr) {
            std::string names;
            for (const std::string& name : catalog.Names(role)) {
                names += (names.empty() ? "" : ", ") + name;
            }
            return Broken("key '" + std::string(key) + "' in [" + std::string(section) +
                          "] names no known service: '" + std::string(value) +
                          "' (known: " + names + ")");
        }
        config.settings.Set(choice.section, choice.key, std::string(value));
        return {};
    }
    for (const ServiceDescriptor& service : catalog.Services()) {
        for (const ConfigKey& owned : service.keys) {
            if (owned.section != section || owned.key != key) {
                continue;
            }
            if (owned.kind == ConfigKey::Kind::kNonEmpty && value.empty()) {
                return Broken("key '" + std::string(key) + "' must not be empty");
            }
            if (owned.kind == ConfigKey::Kind::kWebUrl && !value.empty() && !IsWebUrl(value)) {
                return Broken("key '" + std::string(key) +
                              "' needs an http:// or https:// address, not '" + std::string(value) +
                              "'");
            }
            config.settings.Set(owned.section, owned.key, std::string(value));
            return {};
        }
    }
    return Broken("unknown key '" + std::string(key) + "' in [" + std::string(section) + "]");
}

// Every section a configuration may hold.
const std::set<std::string, std::less<>>& KnownSections() {
    static const std::set<std::string, std::less<>> kSections = [] {
        std::set<std::string, std::less<>> sections = {"services", "http", "render", "monitor"};
        for (const Role role : kRoles) {
            sections.insert(ServiceCatalog::ChoiceOf(role).section);
        }
        for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
            for (const ConfigKey& key : service.keys) {
                sections.insert(key.section);
            }
        }
        return sections;
    }();
    return kSections;
}

Status SetKey(ServiceConfig& config, std::string_view section, std::string_view name,
              std::string_view value) {
    if (section == "services") {
        return SetService(config.services, name, value);
    }
    if (section == "http") {
        return SetHttp(config.http, name, value);
    }
    if (section == "render") {
        return SetRender(config.render, name, value);
    }
    if (section == "monitor") {
        if (name != "recheck_previous") {
            return Broken("unknown key '" + std::string(name) + "' in [monitor]");
        }
        if (value != "true" && value != "false") {
            return Broken("key 'recheck_previous' needs true or false, not '" + std::string(value) +
                          "'");
        }
        config.recheckPrevious = value == "true";
        return {};
    }
    if (KnownSections().contains(section)) {
        return SetServiceSetting(config, section, name, value);
    }
    return Broken(section.empty() ? "key '" + std::string(name) + "' stands outside any section"
                                  : "unknown section [" + std::string(section) + "]");
}

int Handler(void* user, const char* section, const char* name, const char* value) {
    auto& state = *static_cast<ParseState*>(user);
    if (!state.problem.empty()) {
        return 0;
    }
    // The last of two values would win unseen, and the first is as likely
    // the one meant.
    if (!state.given.emplace(section, name).second) {
        state.repeated.emplace(section, name);
        state.problem = "key '" + std::string(name) + "' is given twice";
        return 0;
    }
    const Status set = SetKey(state.config, section, name, value);
    if (!set.ok()) {
        state.problem = set.reason();
        return 0;
    }
    return 1;
}

// The line that first gives key in section, as the INI reader reads it: a
// section header starts a section, and a key is what comes before the first
// "=" or ":" of a line, without blanks around it.
int FirstLineOfKey(const std::string& text, const std::string& section, const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    std::string current;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string_view trimmed = Trimmed(line, " \t\r");
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
            continue;
        }
        if (trimmed.front() == '[') {
            const auto close = trimmed.find(']');
            current = std::string(trimmed.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            continue;
        }
        const auto separator = trimmed.find_first_of("=:");
        if (current == section && separator != std::string_view::npos &&
            Trimmed(trimmed.substr(0, separator), " \t") == key) {
            return number;
        }
    }
    return 0;
}

// inih takes a line that begins with a blank as more of the value above it,
// so an indented key would silently become part of another key's value. Every
// line is read from its first character that is not a blank instead.
std::string WithoutIndents(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f')) {
            continue;
        }
        lineStart = c == '\n';
        lines.push_back(c);
    }
    return lines;
}

// inih reports a section header only through the keys below it, so an unknown
// section with no keys is found here, and so are lines too long for it.
Status CheckLines(const std::string& text, const std::string& name) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.size() > ServiceConfig::kLongestLine) {
            return Broken(name + ":" + std::to_string(number) + ": line longer than " +
                          std::to_string(ServiceConfig::kLongestLine) + " characters");
        }
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] != '[') {
            continue;
        }
        const auto close = line.find(']', first);
        if (close == std::string::npos) {
            return Broken(name + ":" + std::to_string(number) + ": malformed section header");
        }
        const std::string section = line.substr(first + 1, close - first - 1);
        if (!KnownSections().contains(section)) {
            return Broken(name + ":" + std::to_string(number) + ": unknown section [" + section +
                          "]");
        }
    }
    return {};
}

// A key with an environment variable takes the variable's value when it is
// set, over the file's.
void ApplyEnvironment(ServiceSettings& settings) {
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        for (const ConfigKey& key : service.keys) {
            if (key.environment.empty()) {
                continue;
            }
            if (const char* value = std::getenv(key.environment.c_str())) {
                settings.Set(key.section, key.key, value);
            }
        }
    }
}

}  // namespace

ServiceConfig::ServiceConfig() {
    for (const Role role : kRoles) {
        const ServiceCatalog::Choice choice = ServiceCatalog::ChoiceOf(role);
        settings.Set(choice.section, choice.key, choice.defaultName);
    }
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        for (const ConfigKey& key : service.keys) {
            settings.Set(key.section, key.key, key.defaultValue);
        }
    }
    ApplyEnvironment(settings);
}

const std::string& ServiceConfig::Chosen(Role role) const {
    const ServiceCatalog::Choice choice = ServiceCatalog::ChoiceOf(role);
    return settings.Get(choice.section, choice.key);
}

Status ServiceConfig::CheckServices() const {
    for (const Role role : kRoles) {
        const ServiceDescriptor* service = ServiceCatalog::Default().Find(role, Chosen(role));
        if (service == nullptr) {
            return Broken("no service named '" + Chosen(role) + "'");
        }
        if (service->check) {
            if (Status checked = service->check(Context()); !checked) {
                return checked;
            }
        }
    }
    return {};
}

Result<std::string> ServiceConfig::CheckRender() const {
    if (render.mode == RenderOptions::Mode::kOff) {
        return std::string();
    }
    Result<std::string> found = BrowserCommand::Locate(render.chromium);
    if (!found) {
        return Broken("key 'chromium' in [render]: " + found.reason() +
                      " (set mode = off in [render] to read pages without a browser)");
    }
    return found;
}

std::vector<ConfigEntry> ServiceConfig::Entries() const {
    std::vector<ConfigEntry> entries;
    for (const auto& [key, member] : ServiceKeys()) {
        entries.push_back({"services", std::string(key), services.*member});
    }
    entries.push_back({"http", "connect_to", http.connectTo});
    for (const auto& [key, number] : NumberKeys()) {
        entries.push_back({"http", std::string(key), std::to_string(number.read(http))});
    }
    entries.push_back({"http", "user_agent", http.userAgent});
    entries.push_back({"http", "proxy", http.proxy});
    entries.push_back(
        {"render", "mode", std::string(kRenderModes[static_cast<std::size_t>(render.mode)])});
    entries.push_back({"render", "chromium", render.chromium});
    entries.push_back({"render", "render_jobs", std::to_string(render.jobs)});
    entries.push_back({"render", "render_timeout_s", std::to_string(render.timeoutS)});
    entries.push_back({"monitor", "recheck_previous", recheckPrevious ? "true" : "false"});
    for (const auto& [section, keys] : settings.All()) {
        for (const auto& [key, value] : keys) {
            bool secret = false;
            for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
                for (const ConfigKey& owned : service.keys) {
                    secret = secret || (owned.section == section && owned.key == key &&
                                        owned.kind == ConfigKey::Kind::kSecret);
                }
            }
            entries.push_back({section, key, value, secret});
        }
    }
    return entries;
}

bool ServiceConfig::IsHostAndPort(std::string_view value) {
    const auto colon = value.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    std::int64_t port = 0;
    return ParseWholeNumber(value.substr(colon + 1), port) && port >= 1 && port <= 65535;
}

Result<ServiceConfig> ServiceConfig::Parse(const std::string& original, const std::string& name) {
    // An editor's byte order mark is no part of the first line.
    const std::string text = WithoutIndents(std::string_view(original).starts_with(kByteOrderMark)
                                                ? original.substr(kByteOrderMark.size())
                                                : original);
    if (const auto nul = text.find('\0'); nul != std::string::npos) {
        const auto line =
            std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
        return Broken(name + ":" + std::to_string(line) + ": the file holds a NUL byte");
    }
    // The INI reader would skip a second mark as well, and take what follows
    // it for the first line, which is then no longer what the file holds.
    if (std::string_view(text).starts_with(kByteOrderMark)) {
        return Broken(name + ":1: a second byte order mark");
    }
    if (const Status lines = CheckLines(text, name); !lines.ok()) {
        return lines.failure();
    }
    ParseState state;
    const int line = ini_parse_string(text.c_str(), Handler, &state);
    if (line != 0) {
        std::string problem =
            state.problem.empty() ? "malformed line (expected key = value)" : state.problem;
        if (state.repeated) {
            const auto& [section, key] = *state.repeated;
            problem += " in [" + section + "], on line " +
                       std::to_string(FirstLineOfKey(text, section, key)) + " and on line " +
                       std::to_string(line);
        }
        return Broken(name + ":" + std::to_string(line) + ": " + problem);
    }
    ApplyEnvironment(state.config.settings);
    return std::move(state.config);
}

Result<ServiceConfig> ServiceConfig::Load(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return Failure{path + ": is a folder, not a configuration file"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Failure{path + ": cannot read the configuration file (" +
                       std::generic_category().message(errno) + ")"};
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return Failure{path + ": cannot read the configuration file"};
    }
    Result<ServiceConfig> parsed = Parse(text, path);
    if (parsed.ok()) {
        parsed->file = path;
    }
    return parsed;
}

}  // namespace veltrap
