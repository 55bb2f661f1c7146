#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// The bytes as UTF-8 for showing to a person: well-formed UTF-8 sequences stay
// as they are, and every other byte is read as Windows-1252, the encoding that
// pages which are not UTF-8 most often use. The bytes themselves are never
// changed by this; it only decides how they look.
std::string Utf8ForDisplay(std::string_view bytes);

// The bytes with well-formed UTF-8 sequences kept and every other byte
// replaced by the code point codeOf gives it, written as UTF-8.
std::string ReplaceStrayBytes(std::string_view bytes, std::uint32_t (*codeOf)(unsigned char));

// The length of the well-formed UTF-8 sequence that starts at `at`, or 0.
// Overlong forms, surrogates and values above U+10FFFF are not well-formed.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

}  // namespace veltrap
