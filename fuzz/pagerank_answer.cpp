// The PageRank lookup's answer: the first part is read as an answer, and the
// second is the page address whose demo answer is written and read back.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "services/pagerankpage/PageRank.h"
#include "services/pagerankpage/PageRankAnswer.h"

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    (void)ReadPageRank(input.Part(0));
    if (!input.Part(1).empty()) {
        // The demo service only ever writes a value from 0 to 10.
        const auto value = ReadPageRank(RenderPageRankAnswer(input.Part(1)));
        FUZZ_CHECK(!value || (*value >= 0 && *value <= 10));
    }
    return 0;
}
