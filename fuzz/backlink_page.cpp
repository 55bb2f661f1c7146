// The backlink service's result page: the first part is the page, the second the next-page
// marker (the service's own one when empty).
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "services/siteexplorer/BacklinkPage.h"

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::string& text = input.Part(0);
    const std::string marker =
        input.Part(1).empty() ? ServiceEndpoints{}.siteExplorerNextMarker : input.Part(1);
    const BacklinkPage page = ReadBacklinkPage(text, marker);
    FUZZ_CHECK(page.urls.size() <= static_cast<std::size_t>(kBacklinksPerPage));
    FUZZ_CHECK(!page.nextPageFollows ||
               page.urls.size() == static_cast<std::size_t>(kBacklinksPerPage));
    for (const std::string& url : page.urls) {
        // Every address is taken whole from the page, up to its closing quote.
        FUZZ_CHECK(url.starts_with("http"));
        FUZZ_CHECK(url.find('"') == std::string::npos);
        FUZZ_CHECK(text.find(url + '"') != std::string::npos);
    }
    return 0;
}
