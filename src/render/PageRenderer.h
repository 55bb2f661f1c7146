#pragma once

#include "base/Result.h"
#include "base/RunStop.h"
#include "net/FetchScheduler.h"
#include "net/PageAnswer.h"
#include "render/BrowserCommand.h"
#include "render/RenderOptions.h"

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <string>

namespace veltrap {

// Reads linking pages again in a headless browser, for the pages whose links
// their scripts write. Each page gets a browser of its own, started in a
// process group of its own and killed with every process of that group when
// the page is read, when it takes longer than the timeout, and at once for
// all of them when the run stops refusing fetches. A browser also dies with
// the thread that started it, so none outlives the program. At most
// options.jobs browsers run at once, and each holds one of its host's
// connections in the fetch scheduler while it loads. Safe to use from several
// threads.
class PageRenderer {
public:
    // hosts may be null: the browsers then keep to no per-host limit.
    PageRenderer(const RenderOptions& options, BrowserCommand command, std::int64_t maxBytes,
                 const RunStop& stop, FetchScheduler* hosts);
    // Kills the browsers still running and waits for the renders to end.
    ~PageRenderer();
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    // Whether a fetched page is read again in the browser: never when off;
    // with fallback, a usable page that holds a script and shows no link to
    // the site; always, any usable page.
    bool Wants(const PageAnswer& page, bool showsLink) const;
    // The document the browser holds once url has loaded and its scripts had
    // their time. Fails when the browser cannot start, ends badly, gives
    // nothing, or is still going after the timeout, and when the run stops.
    Result<std::string> Render(const std::string& url);
    // Kills every browser at once; later renders fail unstarted.
    void KillAll();

private:
    // Runs the browser for url with its profile in profileDir.
    Result<std::string> RunBrowser(const std::string& url, const std::string& profileDir);
    // Takes a browser slot; false once everything is killed.
    bool Enter();
    void Leave();

    RenderOptions options_;
    BrowserCommand command_;
    std::int64_t maxBytes_;
    FetchScheduler* hosts_;

    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    bool killed_ = false;
    // The process groups of the browsers running now.
    std::set<pid_t> groups_;
    using Wake = std::function<void()>;
    std::optional<std::stop_callback<Wake>> onRefused_;
};

}  // namespace veltrap
