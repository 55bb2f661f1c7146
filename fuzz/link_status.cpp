// The HTML5 reading of a linking page's link status: the first part is the
// link's target, the second the page, the third its header lines
// ("Name: value", one a line), and the first byte of the fourth picks the
// status it answered with. Every value read must be one the record may hold.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "scrape/LinkStatus.h"

#include <array>
#include <set>
#include <string_view>

using namespace veltrap;

namespace {

constexpr std::array<long, 8> kStatuses{200, 301, 304, 404, 410, 500, 503, 0};

bool HasUpperOrDoubleBlank(const std::string& text) {
    for (const char c : text) {
        if (c >= 'A' && c <= 'Z') {
            return true;
        }
    }
    return text.find("  ") != std::string::npos;
}

PageAnswer AnswerOf(const fuzzing::FuzzInput& input) {
    PageAnswer page;
    const std::string& pick = input.Part(3);
    page.status =
        kStatuses[pick.empty() ? 0 : static_cast<unsigned char>(pick[0]) % kStatuses.size()];
    page.answered = page.status != 0;
    page.body = input.Part(1);
    page.finalUrl = "http://fuzz.example/page";
    std::string_view headers = input.Part(2);
    while (!headers.empty()) {
        const auto end = headers.find('\n');
        const std::string_view line = headers.substr(0, end);
        const auto colon = line.find(':');
        if (colon != std::string_view::npos) {
            page.headers.emplace_back(line.substr(0, colon), line.substr(colon + 1));
        }
        headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 1);
    }
    return page;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const PageAnswer page = AnswerOf(input);
    const LinkFacts facts = ReadLinkFacts(page, input.Part(0));
    static const std::set<std::string> kLinkStatuses{"gone", "error",    "noindex", "sponsored",
                                                     "ugc",  "nofollow", "follow"};
    static const std::set<std::string> kRobots{"", "noindex", "nofollow", "noindex nofollow"};
    FUZZ_CHECK(kLinkStatuses.contains(facts.linkStatus));
    FUZZ_CHECK(kRobots.contains(facts.robots));
    FUZZ_CHECK(facts.httpStatus == page.status);
    FUZZ_CHECK(!HasUpperOrDoubleBlank(facts.rel));
    FUZZ_CHECK(facts.rel.empty() || (facts.rel.front() != ' ' && facts.rel.back() != ' '));
    static const std::set<std::string> kUnlinked{"unreachable", "gone", "error", "not-found"};
    FUZZ_CHECK(kUnlinked.contains(UnlinkedStatus(page)));
    return 0;
}
