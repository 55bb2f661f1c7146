#pragma once

#include "base/TextSink.h"

#include <string>
#include <string_view>
#include <utility>

namespace veltrap {

// Gathers everything written into one string, for the callers that want an
// output whole.
class StringSink final : public TextSink {
public:
    void Write(std::string_view bytes) override { text_.append(bytes); }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace veltrap
