#pragma once

#include "base/Result.h"

#include <string>
#include <vector>

namespace veltrap {

// The command line that has a headless Chromium load one page and print the
// document it then holds: a throw-away profile, the run's user agent, every
// host name sent to connect_to when it is set, the proxy when one is given
// (empty goes direct), and none of the browser's own background traffic.
class BrowserCommand {
public:
    // How much time the page's scripts get, in the browser's virtual time,
    // which runs ahead while the page waits on nothing but timers.
    static constexpr int kScriptBudgetMs = 5000;

    BrowserCommand(std::string program, std::string userAgent, std::string connectTo,
                   std::string proxy);

    // The arguments, the program first, that load url with the profile in
    // profileDir.
    std::vector<std::string> Arguments(const std::string& profileDir, const std::string& url) const;

    // The executable a program name stands for: a name holding a slash as it
    // is, any other the first match on PATH. Fails when there is none.
    static Result<std::string> Locate(const std::string& program);

private:
    std::string program_;
    std::string userAgent_;
    std::string connectTo_;
    std::string proxy_;
};

}  // namespace veltrap
