#pragma once

#include "engine/SecretStore.h"

#include <map>
#include <string>
#include <utility>

namespace veltrap::testing {

// A secret store held in memory; one given a reason cannot be reached.
class FakeSecretStore : public SecretStore {
public:
    FakeSecretStore() = default;
    explicit FakeSecretStore(std::string unreachable) : unreachable_(std::move(unreachable)) {}

    Result<std::string> Read(const std::string& key) override;
    Status Write(const std::string& key, const std::string& value) override;

    std::map<std::string, std::string> kept;

private:
    std::string unreachable_;
};

}  // namespace veltrap::testing
