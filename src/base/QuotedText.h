#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrap {

// The most bytes of an outside service's own words that a message quotes.
inline constexpr std::size_t kLongestQuote = 200;

// A service's own words in double quotes, for a message: control bytes become
// blanks, so that the quote stays on one line, and a text longer than
// kLongestQuote is cut there, before a UTF-8 sequence rather than inside it,
// and ends in "...".
std::string QuotedText(std::string_view text);

// The text with every occurrence of secret written as "***", so that a
// message can never show a key that an answer echoed back.
std::string WithoutSecret(std::string text, std::string_view secret);

}  // namespace veltrap
