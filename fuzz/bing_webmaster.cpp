// Bing Webmaster Tools' answers: the first part is the body, the first byte of
// the second picks the HTTP status and of the third the call. A failure always
// says why. The demo's answers to both calls, for a site named by the fourth
// part (mapped onto a host name's letters), must read whole.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "demoworld/DemoWorld.h"
#include "services/bingwebmaster/BingWebmaster.h"
#include "services/bingwebmaster/BingWebmasterAnswer.h"

#include <array>

using namespace veltrap;

namespace {

constexpr std::array<long, 5> kStatuses{200, 400, 401, 429, 500};

unsigned char Pick(const std::string& part) {
    return part.empty() ? 0 : static_cast<unsigned char>(part[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    PageAnswer answer;
    answer.answered = true;
    answer.body = input.Part(0);
    answer.status = kStatuses[Pick(input.Part(1)) % kStatuses.size()];
    const BingCall call =
        Pick(input.Part(2)) % 2 == 0 ? BingCall::kLinkCounts : BingCall::kUrlLinks;
    const Result<BingLinkPage> read = ReadBingWebmaster(answer, call);
    FUZZ_CHECK(read.ok() || !read.reason().empty());
    FUZZ_CHECK(!read.ok() || answer.status == 200);

    // A verified site's address is a plain host name; its bytes are mapped
    // onto the letters of one.
    std::string identity = input.Part(3).substr(0, 40);
    for (char& c : identity) {
        c = "abcdefghijklmnopqrstuvwxyz0123456789.-"[static_cast<unsigned char>(c) % 38];
    }
    if (identity.empty()) {
        identity = "a.example";
    }
    static const DemoWorld world(12);
    const auto site = world.Site(identity);
    PageAnswer demo;
    demo.answered = true;
    demo.status = 200;
    demo.body = RenderBingLinkCounts(*site, "https://" + identity + "/", 0);
    const Result<BingLinkPage> counts = ReadBingWebmaster(demo, BingCall::kLinkCounts);
    FUZZ_CHECK(counts.ok());
    for (const std::string& link : counts->urls) {
        demo.body = RenderBingUrlLinks(*site, "https://" + identity + "/", link, 0);
        const Result<BingLinkPage> links = ReadBingWebmaster(demo, BingCall::kUrlLinks);
        FUZZ_CHECK(links.ok() && !links->urls.empty());
    }
    return 0;
}
