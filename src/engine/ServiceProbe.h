#pragma once

#include "base/Result.h"
#include "base/RunStop.h"
#include "engine/ServiceConfig.h"
#include "net/HttpSession.h"

#include <string>
#include <string_view>

namespace veltrap {

// Tells a person whether the service chosen for a role works with the values
// they gave it, before a run depends on it: one request, sent by the
// service's own reader through a session of its own that reaches the web as
// a run would (proxy, user agent), and its outcome in words. Safe to call
// from any thread.
class ServiceProbe {
public:
    using Role = ServiceDescriptor::Role;

    // The name a person knows the service by, such as "Bing Webmaster Tools".
    static std::string Title(std::string_view name);

    // Asks the chosen service of role about site (a site key such as
    // "example.com"): "Bing Webmaster Tools answered: 12 pages of your site
    // have links", or a failure saying why, in the service's words where it
    // gave some. No secret of the configuration is ever in the words.
    // The stop ends a request still going, which then fails.
    static Result<std::string> Test(const ServiceConfig& config, Role role, const std::string& site,
                                    const RunStop& stop = HttpSession::NeverStopped());
};

}  // namespace veltrap
