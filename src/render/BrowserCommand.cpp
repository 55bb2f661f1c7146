#include "render/BrowserCommand.h"

#include "base/AsciiCase.h"
#include "net/ProxyAddress.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace veltrap {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// The proxy address in the form Chromium takes. It takes no user and
// password on its command line, so a proxy that asks for them refuses the
// browser, and such pages end as not rendered rather than misread. Chromium
// always leaves name lookup to a SOCKS proxy, so the "h" kinds lose their h.
std::string BrowserProxy(std::string_view proxy) {
    std::string_view scheme;
    if (const auto end = proxy.find("://"); end != std::string_view::npos) {
        scheme = proxy.substr(0, end);
        proxy.remove_prefix(end + 3);
    }
    if (const auto at = proxy.rfind('@'); at != std::string_view::npos) {
        proxy.remove_prefix(at + 1);
    }
    if (proxy.ends_with('/')) {
        proxy.remove_suffix(1);
    }
    std::string kind = LowerAscii(scheme);
    if (kind == "socks5h" || kind == "socks4a") {
        kind.pop_back();
    }
    return kind + "://" + std::string(proxy);
}

}  // namespace

BrowserCommand::BrowserCommand(std::string program, std::string userAgent, std::string connectTo,
                               std::string proxy)
    : program_(std::move(program)),
      userAgent_(std::move(userAgent)),
      connectTo_(std::move(connectTo)),
      proxy_(std::move(proxy)) {}

std::vector<std::string> BrowserCommand::Arguments(const std::string& profileDir,
                                                   const std::string& url) const {
    std::vector<std::string> arguments = {
        program_,
        "--headless",
        "--disable-gpu",
        "--no-first-run",
        "--no-default-browser-check",
        // The browser's own traffic: updates, safe browsing lists, field
        // trials, sign-in and sync, crash and usage reports.
        "--disable-background-networking",
        "--disable-sync",
        "--disable-component-update",
        "--disable-default-apps",
        "--disable-extensions",
        "--disable-client-side-phishing-detection",
        "--safebrowsing-disable-auto-update",
        "--disable-domain-reliability",
        "--disable-breakpad",
        "--no-pings",
        "--metrics-recording-only",
        "--disable-features=OptimizationHints,OptimizationGuideModelDownloading,MediaRouter,"
        "Translate,AutofillServerCommunication,CertificateTransparencyComponentUpdater",
        "--user-data-dir=" + profileDir,
        "--user-agent=" + userAgent_,
        "--virtual-time-budget=" + std::to_string(kScriptBudgetMs),
    };
    // Chromium refuses to start its sandbox as root and ends at once.
    if (::geteuid() == 0) {
        arguments.emplace_back("--no-sandbox");
    }
    if (!connectTo_.empty()) {
        arguments.push_back("--host-resolver-rules=MAP * " + connectTo_);
    }
    if (proxy_.empty()) {
        arguments.emplace_back("--no-proxy-server");
    } else if (proxy_ != ProxyAddress::kSystem) {
        arguments.push_back("--proxy-server=" + BrowserProxy(proxy_));
    }
    // With "system" the browser follows the environment's proxy settings by
    // itself, as libcurl does for the run's own requests.
    arguments.emplace_back("--dump-dom");
    arguments.push_back(url);
    return arguments;
}

Result<std::string> BrowserCommand::Locate(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        if (IsExecutableFile(program)) {
            return program;
        }
        return Failure{"no executable browser at '" + program + "'", true};
    }
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!program.empty()) {
        const auto colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + program;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            break;
        }
        folders.remove_prefix(colon + 1);
    }
    return Failure{"no browser '" + program + "' found on PATH", true};
}

}  // namespace veltrap
