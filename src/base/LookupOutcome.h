#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace veltrap {

// What one lookup of a service came to. Found carries the value; not found
// means the service answered and the thing asked for is not there; failed
// means the service could not be asked or its answer could not be read, and
// says why. A record field keeps -1 for both of the last two.
class LookupOutcome {
public:
    enum class Kind { kFound, kNotFound, kFailed };

    static LookupOutcome Found(std::int32_t value) { return {Kind::kFound, value, {}}; }
    static LookupOutcome NotFound() { return {Kind::kNotFound, -1, {}}; }
    static LookupOutcome Failed(std::string reason) {
        return {Kind::kFailed, -1, std::move(reason)};
    }

    Kind kind() const { return kind_; }
    bool found() const { return kind_ == Kind::kFound; }
    bool failed() const { return kind_ == Kind::kFailed; }
    // The value to store: the one found, otherwise -1.
    std::int32_t value() const { return value_; }
    const std::string& reason() const { return reason_; }

private:
    LookupOutcome(Kind kind, std::int32_t value, std::string reason)
        : kind_(kind), value_(value), reason_(std::move(reason)) {}

    Kind kind_;
    std::int32_t value_;
    std::string reason_;
};

}  // namespace veltrap
