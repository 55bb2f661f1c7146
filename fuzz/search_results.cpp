// The search engines' result pages over a fake fetch: the first part's first
// byte picks the engine and its second the page limit, and the rest of it is
// the keyphrase; the second part is the target, and the parts after it are the
// result pages in the order they are asked for.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "base/AsciiCase.h"
#include "services/htmlsearch/SearchRank.h"

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::string& head = input.Part(0);
    const RankColumn engine = kRankColumns[head.empty() ? 0 : head[0] % kRankColumns.size()];
    const int pages = head.size() < 2 ? 1 : 1 + static_cast<unsigned char>(head[1]) % 5;
    const std::string keyphrase = head.size() < 2 ? "" : head.substr(2);
    const std::string& target = input.Part(1);

    const int before = CountResultsBefore(engine, LowerAscii(input.Part(2)), LowerAscii(target));
    FUZZ_CHECK(before >= 0 && before <= 10);

    const LookupOutcome rank =
        RankOn(engine, ServiceEndpoints{}, pages, input.Pages(2), keyphrase, target);
    // A position counts at most ten results a page, and one more for the
    // engine that numbers from one.
    FUZZ_CHECK(!rank.found() || (rank.value() >= 0 && rank.value() <= 10 * pages + 1));
    FUZZ_CHECK(rank.found() || rank.value() == -1);
    return 0;
}
