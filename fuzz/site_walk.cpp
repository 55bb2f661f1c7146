// The walk of the profiled site for a link back: the first part is the site
// key, the second the backlink's target, the third the linking page's address,
// and the parts after it are the pages in the order they are asked for.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "scrape/Reciprocal.h"

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::string domain = LinkingDomain(input.Part(2));
    FUZZ_CHECK(domain.find('/') == std::string::npos);
    const LookupOutcome outcome =
        CheckReciprocal(input.Pages(3), input.Part(0), input.Part(1), input.Part(2));
    FUZZ_CHECK(!outcome.found() || outcome.value() == 1);
    FUZZ_CHECK(!outcome.failed() || !outcome.reason().empty());
    return 0;
}
