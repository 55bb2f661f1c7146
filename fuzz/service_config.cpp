// The service configuration read from any text. A configuration that is
// accepted is written out again as the program prints it, and that text must
// read back as the same configuration, secrets aside, which are masked, and
// so is the password in a proxy's address.
#include "FuzzCheck.h"
#include "engine/ServiceConfig.h"
#include "engine/ServiceConfigText.h"
#include "net/ProxyAddress.h"

#include <cstdint>
#include <string>

using namespace veltrap;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Result<ServiceConfig> read = ServiceConfig::Parse(text, "fuzz.ini");
    if (!read.ok()) {
        FUZZ_CHECK(read.failure().inputAtFault);
        FUZZ_CHECK(read.reason().find("fuzz.ini") != std::string::npos);
        return 0;
    }
    const Result<ServiceConfig> again =
        ServiceConfig::Parse(ServiceConfigText(read.value(), "fuzz.ini"), "printed.ini");
    FUZZ_CHECK(again.ok());
    const auto entries = read->Entries();
    const auto printed = again->Entries();
    FUZZ_CHECK(entries.size() == printed.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FUZZ_CHECK(entries[i].section == printed[i].section);
        FUZZ_CHECK(entries[i].key == printed[i].key);
        const bool masked = entries[i].secret || IsSecretKeyName(entries[i].key);
        const bool proxy = entries[i].section == "http" && entries[i].key == "proxy";
        const std::string expected =
            proxy ? ProxyAddress::Masked(entries[i].value, kMaskedSecret) : entries[i].value;
        FUZZ_CHECK(masked || expected == printed[i].value);
    }
    return 0;
}
