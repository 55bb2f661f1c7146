// DataForSEO's live backlinks answer: the first part is the body, the first
// byte of the second picks the HTTP status. A failure always says why. The
// request body for a target named by the third part must be JSON naming it,
// and the demo's answer for it must read whole, with its total.
#include "services/dataforseo/DataForSeo.h"
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "demoworld/DemoWorld.h"
#include "services/dataforseo/DataForSeoAnswer.h"

#include <nlohmann/json.hpp>

#include <array>

using namespace veltrap;

namespace {

constexpr std::array<long, 4> kStatuses{200, 401, 429, 500};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    PageAnswer answer;
    answer.answered = true;
    answer.body = input.Part(0);
    const std::string& pick = input.Part(1);
    answer.status =
        kStatuses[pick.empty() ? 0 : static_cast<unsigned char>(pick[0]) % kStatuses.size()];
    const Result<DataForSeoPage> read = ReadDataForSeo(answer);
    FUZZ_CHECK(read.ok() || !read.reason().empty());
    FUZZ_CHECK(!read.ok() || answer.status == 200);

    const std::string target = input.Part(2).substr(0, 60);
    const nlohmann::json body =
        nlohmann::json::parse(DataForSeoRequestBody(target, 1000), nullptr, false);
    FUZZ_CHECK(body.is_array() && body.size() == 1 && body[0]["offset"] == 1000);

    static const DemoWorld world(12);
    const auto site = world.Site(target.empty() ? "a.example" : target);
    PageAnswer demo;
    demo.answered = true;
    demo.status = 200;
    demo.body = RenderDataForSeoBacklinks(*site, target, 0, kDataForSeoLimit);
    const Result<DataForSeoPage> backlinks = ReadDataForSeo(demo);
    FUZZ_CHECK(backlinks.ok());
    FUZZ_CHECK(backlinks->totalCount == static_cast<std::int64_t>(site->Backlinks().size()));
    FUZZ_CHECK(backlinks->urls.size() == site->Backlinks().size());
    return 0;
}
