#pragma once

#include <string_view>

namespace veltrap {

// Where a writer puts its text piece by piece, so that a large output can go
// to its file as it is made instead of being built whole in memory first.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

}  // namespace veltrap
