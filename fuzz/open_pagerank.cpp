// The Open PageRank answer: the first part holds the domains asked, one a
// line, the second the answer's body, and the first byte of the third its
// status. One outcome comes back per domain, and a value found is 0 to 10.
// The demo service's own answer for plain domain names must read whole.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "services/openpagerank/OpenPageRank.h"
#include "services/openpagerank/OpenPageRankAnswer.h"

#include <array>
#include <string_view>

using namespace veltrap;

namespace {

constexpr std::array<long, 5> kStatuses{200, 401, 404, 429, 500};

std::vector<std::string> Domains(std::string_view text) {
    std::vector<std::string> domains;
    while (!text.empty()) {
        const auto end = text.find('\n');
        domains.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return domains;
}

bool IsPlainName(const std::string& domain) {
    if (domain.empty()) {
        return false;
    }
    for (const char c : domain) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-')) {
            return false;
        }
    }
    return true;
}

void CheckOutcomes(const std::vector<LookupOutcome>& outcomes, std::size_t asked) {
    FUZZ_CHECK(outcomes.size() == asked);
    for (const LookupOutcome& outcome : outcomes) {
        FUZZ_CHECK(!outcome.found() || (outcome.value() >= 0 && outcome.value() <= 10));
        FUZZ_CHECK(!outcome.failed() || !outcome.reason().empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const std::vector<std::string> domains = Domains(input.Part(0));
    PageAnswer answer;
    const std::string& pick = input.Part(2);
    answer.answered = true;
    answer.status =
        kStatuses[pick.empty() ? 0 : static_cast<unsigned char>(pick[0]) % kStatuses.size()];
    answer.body = input.Part(1);
    CheckOutcomes(ReadOpenPageRank(answer, domains), domains.size());

    std::vector<std::string> plain;
    for (const std::string& domain : domains) {
        if (IsPlainName(domain)) {
            plain.push_back(domain);
        }
    }
    PageAnswer demo;
    demo.answered = true;
    demo.status = 200;
    demo.body = RenderOpenPageRankAnswer(plain);
    const std::vector<LookupOutcome> read = ReadOpenPageRank(demo, plain);
    CheckOutcomes(read, plain.size());
    for (const LookupOutcome& outcome : read) {
        FUZZ_CHECK(!outcome.failed());
    }
    return 0;
}
