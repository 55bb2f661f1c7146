#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace veltrap {

// Why a step failed, in words for the people who read it: the message names
// what failed (a file, a key, a service) and the reason. A program that ends
// with an exit code also asks whose fault it was: the input it was given (a
// broken configuration, a file that holds no list) or the world around it
// (a folder that cannot be written, a service that did not answer).
struct Failure {
    std::string reason;
    bool inputAtFault = false;
};

// What a step that can fail gives: its value, or the Failure that kept it
// from one. Built from either, so that `return value;` and
// `return Failure{"..."};` both read as what they are. Nothing here throws.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const Failure& failure() const {
        assert(!ok());
        return std::get<1>(state_);
    }
    // The reason of a failure; "" for a value.
    const std::string& reason() const {
        static const std::string kNone;
        return ok() ? kNone : failure().reason;
    }

private:
    std::variant<T, Failure> state_;
};

// A step that gives nothing but may fail.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }

    const Failure& failure() const {
        assert(!ok_);
        return failure_;
    }
    const std::string& reason() const { return failure_.reason; }

private:
    Failure failure_;
    bool ok_ = true;
};

using Status = Result<void>;

}  // namespace veltrap
