#include "FuzzInput.h"

#include <memory>

namespace veltrap::fuzzing {

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(kSeparator, start);
        if (end == std::string_view::npos) {
            parts_.emplace_back(text.substr(start));
            return;
        }
        parts_.emplace_back(text.substr(start, end - start));
        start = end + kSeparator.size();
    }
}

const std::string& FuzzInput::Part(std::size_t index) const {
    static const std::string kMissing;
    return index < parts_.size() ? parts_[index] : kMissing;
}

PageFetch FuzzInput::Pages(std::size_t first) const {
    auto next = std::make_shared<std::size_t>(first);
    return PageFetch([this, next](const std::string& url, const RequestHeaders&) {
        PageAnswer answer;
        answer.finalUrl = url;
        const std::size_t index = (*next)++;
        if (index >= parts_.size() || parts_[index].starts_with('!')) {
            answer.transportError = "no such page in the fuzz input";
            return answer;
        }
        answer.answered = true;
        answer.status = 200;
        answer.body = parts_[index];
        return answer;
    });
}

}  // namespace veltrap::fuzzing
