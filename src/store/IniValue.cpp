#include "store/IniValue.h"

#include <cstdint>
#include <vector>

namespace veltrap {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c | 0x20) - 'a' + 10;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A typed value's text: "@@x" is the text "@x", "@ByteArray(x)" and
// "@String(x)" the text x; the other types the format knows ("@Rect(...)",
// "@Invalid()" and so on) are no text at all. An '@' before anything else is
// just text.
std::optional<std::string> Untyped(const std::string& item) {
    if (item.empty() || item[0] != '@') {
        return item;
    }
    if (item.size() > 1 && item[1] == '@') {
        return item.substr(1);
    }
    if (!item.ends_with(')')) {
        return item;
    }
    for (const std::string_view text : {"@ByteArray(", "@String("}) {
        if (item.starts_with(text)) {
            return item.substr(text.size(), item.size() - text.size() - 1);
        }
    }
    for (const std::string_view type : {"@Variant(", "@DateTime(", "@Rect(", "@RectF(", "@Size(",
                                        "@SizeF(", "@Point(", "@PointF(", "@Invalid("}) {
        if (item.starts_with(type)) {
            return std::nullopt;
        }
    }
    return item;
}

}  // namespace

std::string EscapeIniValue(std::string_view text) {
    std::string out;
    if (text.starts_with('@')) {
        out += '@';
    }
    bool quote = false;
    // After a "\x.." escape a hex digit would be read as part of it, so it is
    // escaped too.
    bool escapeHexDigit = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=') {
            quote = true;
        }
        if (escapeHexDigit && IsHexDigit(c)) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
            case '\0':
                out += "\\0";
                escapeHexDigit = true;
                break;
            case '\a':
                out += "\\a";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\v':
                out += "\\v";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (byte <= 0x1F || byte == 0x7F) {
                    constexpr char kHex[] = "0123456789abcdef";
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                    escapeHexDigit = true;
                } else {
                    out += c;
                }
        }
    }
    if (quote || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        out = '"' + out + '"';
    }
    return out;
}

std::optional<std::string> ReadIniValue(std::string_view written) {
    std::vector<std::string> items(1);
    bool quoted = false;
    // Blanks outside quotes are kept only between other characters of an item.
    std::size_t pendingBlanks = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        std::string& item = items.back();
        if (!quoted && (c == ' ' || c == '\t')) {
            if (!item.empty()) {
                ++pendingBlanks;
            }
            continue;
        }
        if (!quoted && pendingBlanks > 0) {
            item.append(written.substr(i - pendingBlanks, pendingBlanks));
        }
        pendingBlanks = 0;
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            items.emplace_back();
        } else if (c == '\\' && i + 1 < written.size()) {
            const char code = written[++i];
            switch (code) {
                case 'a':
                    item += '\a';
                    break;
                case 'b':
                    item += '\b';
                    break;
                case 'f':
                    item += '\f';
                    break;
                case 'n':
                    item += '\n';
                    break;
                case 'r':
                    item += '\r';
                    break;
                case 't':
                    item += '\t';
                    break;
                case 'v':
                    item += '\v';
                    break;
                case 'x': {
                    std::uint32_t value = 0;
                    while (i + 1 < written.size() && IsHexDigit(written[i + 1])) {
                        value =
                            ((value << 4) | static_cast<std::uint32_t>(HexValue(written[++i]))) &
                            0xFFFF;
                    }
                    AppendUtf8(item, value);
                    break;
                }
                default:
                    if (code >= '0' && code <= '7') {
                        std::uint32_t value = static_cast<std::uint32_t>(code - '0');
                        while (i + 1 < written.size() && written[i + 1] >= '0' &&
                               written[i + 1] <= '7') {
                            value =
                                ((value << 3) | static_cast<std::uint32_t>(written[++i] - '0')) &
                                0xFFFF;
                        }
                        AppendUtf8(item, value);
                    } else {
                        // '"', '\\', '\'', '?' and anything unknown stand for themselves.
                        item += code;
                    }
            }
        } else {
            item += c;
        }
    }
    std::string joined;
    for (std::size_t index = 0; index < items.size(); ++index) {
        const std::optional<std::string> text = Untyped(items[index]);
        if (!text) {
            return std::nullopt;
        }
        if (index > 0) {
            joined += ',';
        }
        joined += *text;
    }
    return joined;
}

}  // namespace veltrap
