#include "support/FakeSecretStore.h"

namespace veltrap::testing {

Result<std::string> FakeSecretStore::Read(const std::string& key) {
    if (!unreachable_.empty()) {
        return Failure{unreachable_};
    }
    const auto found = kept.find(key);
    return found == kept.end() ? std::string() : found->second;
}

Status FakeSecretStore::Write(const std::string& key, const std::string& value) {
    if (!unreachable_.empty()) {
        return Failure{unreachable_};
    }
    if (value.empty()) {
        kept.erase(key);
    } else {
        kept[key] = value;
    }
    return {};
}

}  // namespace veltrap::testing
