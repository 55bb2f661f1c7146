// The linking page's link to the site and the cleaning of its anchor text: the
// first part is the site key, the second the page.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "scrape/SiteLink.h"

using namespace veltrap;

namespace {

// What every cleaned keyphrase holds to: no tab or line break, and no two
// blanks in a row.
void CheckCleaned(const std::string& text) {
    if (text == kNoAnchorText) {
        return;
    }
    FUZZ_CHECK(text.find_first_of("\t\r\n") == std::string::npos);
    FUZZ_CHECK(text.find("  ") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::string& siteKey = input.Part(0);
    const std::string& page = input.Part(1);
    if (const auto link = ReadSiteLink(page, siteKey)) {
        for (const char c : link->href) {
            FUZZ_CHECK(!(c >= 'A' && c <= 'Z'));
        }
        for (const char c : link->anchorText) {
            FUZZ_CHECK(!(c >= 'A' && c <= 'Z') || link->anchorText == kNoAnchorText);
        }
        CheckCleaned(link->anchorText);
    }
    CheckCleaned(CleanAnchorText(page));
    return 0;
}
