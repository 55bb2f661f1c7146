#include "base/AsciiCase.h"

#include <algorithm>

namespace veltrap {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsNoCase(std::string_view text, std::string_view what) {
    return what.empty() ||
           std::search(text.begin(), text.end(), what.begin(), what.end(),
                       [](char x, char y) { return LowerAscii(x) == LowerAscii(y); }) != text.end();
}

}  // namespace veltrap
