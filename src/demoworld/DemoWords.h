#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace veltrap {

// The vocabulary the demo web writes its pages from.
struct DemoWords {
    // Parts of host names, joined two at a time: "amber" + "field".
    static std::span<const std::string_view> NameParts();
    // Subjects a page can be about, in lower case.
    static std::span<const std::string_view> Topics();
    // Subjects written with ISO-8859-1 letters (bytes above 0x7F).
    static std::span<const std::string_view> AccentedTopics();
    // A sentence of ordinary page text about topic; choice picks which, modulo
    // their number.
    static std::string Sentence(std::size_t choice, std::string_view topic);
    // Folders linking pages live in.
    static std::span<const std::string_view> Folders();
    // Link texts that do not name any site.
    static std::span<const std::string_view> GenericAnchors();
    // Link texts of one or two characters.
    static std::span<const std::string_view> ShortAnchors();
};

}  // namespace veltrap
