#pragma once

#include <string>

namespace veltrap {

// Whether and how linking pages are read again as a browser shows them, once
// their scripts have run.
struct RenderOptions {
    enum class Mode {
        kOff,       // never: the page is read as the server sent it
        kFallback,  // a page that holds a script but shows no link to the site
        kAlways,    // every page that answered
    };

    Mode mode = Mode::kOff;
    // The browser's program: a name looked up on PATH, or a path.
    std::string chromium = "chromium";
    // Browsers running at once.
    int jobs = 2;
    // The longest one page may take in the browser, its start included.
    int timeoutS = 20;
};

}  // namespace veltrap
