// SearXNG's JSON answers over a fake fetch: the first part is the configured
// engine list, the second the keyphrase, the third the target, and the parts
// after it the answers in the order they are asked for.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "services/searxng/SearxngRank.h"

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::vector<std::string> engines = SearxngEngines(input.Part(0));
    for (const std::string& engine : engines) {
        FUZZ_CHECK(!engine.empty() && engine.find(',') == std::string::npos);
        FUZZ_CHECK(engine.front() != ' ' && engine.back() != ' ');
    }
    const LookupOutcome rank = RankOnSearxng("http://127.0.0.1:1", engines, 3, input.Pages(3),
                                             input.Part(1), input.Part(2));
    FUZZ_CHECK(!rank.found() || rank.value() >= 1);
    FUZZ_CHECK(!rank.failed() || !rank.reason().empty());
    return 0;
}
